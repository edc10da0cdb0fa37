#include "base/Text.h"

#include "base/Exception.h"

#include <cstdlib>
#include <cstring>
#include <utility>

Text::Rep* Text::Allocate(size_t length) {
    if (length > static_cast<size_t>(-1) / 2 - sizeof(Rep))
        throw EOutOfMemory("Out of memory");
    Rep* rep = static_cast<Rep*>(std::malloc(sizeof(Rep) + length));
    if (!rep)
        throw EOutOfMemory("Out of memory");
    rep->refs = 1;
    rep->length = length;
    rep->bytes[length] = '\0';
    return rep;
}

Text::Text(const char* zstr) : Text(zstr, zstr ? std::strlen(zstr) : 0) {}

Text::Text(const char* bytes, size_t length) {
    if (length == 0)
        return;
    rep_ = Allocate(length);
    std::memcpy(rep_->bytes, bytes, length);
}

Text::Text(const Text& other) : rep_(other.rep_) {
    if (rep_)
        ++rep_->refs;
}

Text::Text(Text&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }

Text& Text::operator=(Text other) noexcept {
    std::swap(rep_, other.rep_);
    return *this;
}

Text::~Text() { Release(); }

void Text::Release() noexcept {
    if (rep_ && --rep_->refs == 0)
        std::free(rep_);
    rep_ = nullptr;
}

Text Text::Left(size_t count) const {
    if (count >= Length())
        return *this;
    return Text(CStr(), count);
}

Text Text::Concat(const char* a, size_t alen, const char* b, size_t blen) {
    Text result;
    if (alen + blen == 0)
        return result;
    result.rep_ = Allocate(alen + blen);
    std::memcpy(result.rep_->bytes, a, alen);
    std::memcpy(result.rep_->bytes + alen, b, blen);
    return result;
}

Text operator+(const Text& a, const Text& b) {
    if (b.Empty())
        return a;
    if (a.Empty())
        return b;
    return Text::Concat(a.CStr(), a.Length(), b.CStr(), b.Length());
}

Text& Text::operator+=(const Text& more) {
    *this = *this + more;
    return *this;
}

bool operator==(const Text& a, const Text& b) {
    return a.Length() == b.Length() && std::memcmp(a.CStr(), b.CStr(), a.Length()) == 0;
}

bool operator==(const Text& a, const char* b) {
    size_t n = std::strlen(b);
    return a.Length() == n && std::memcmp(a.CStr(), b, n) == 0;
}
