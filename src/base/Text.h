// Text: a narrow, reference-counted, length-prefixed byte string in the ANSI code page.
// Copies share one buffer; the buffer goes when its last holder lets go. Texts are
// never changed in place, so sharing needs no copy-on-write.
#pragma once

#include <cstddef>

class Text {
public:
    Text() = default;
    Text(const char* zstr);                 // NOLINT: texts are made from literals everywhere
    Text(const char* bytes, size_t length);
    Text(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(Text other) noexcept;
    ~Text();

    size_t Length() const { return rep_ ? rep_->length : 0; }
    bool Empty() const { return Length() == 0; }
    // Always zero-terminated; "" for the empty text.
    const char* CStr() const { return rep_ ? rep_->bytes : ""; }
    unsigned char operator[](size_t i) const { return static_cast<unsigned char>(CStr()[i]); }

    Text Left(size_t count) const;
    friend Text operator+(const Text& a, const Text& b);
    Text& operator+=(const Text& more);
    friend bool operator==(const Text& a, const Text& b);
    friend bool operator!=(const Text& a, const Text& b) { return !(a == b); }
    // Compared with a zero-terminated string as it stands, without making a Text of it.
    friend bool operator==(const Text& a, const char* b);
    friend bool operator!=(const Text& a, const char* b) { return !(a == b); }

private:
    struct Rep {
        size_t refs;
        size_t length;
        char bytes[1]; // length bytes and a terminating zero
    };
    static Rep* Allocate(size_t length);
    static Text Concat(const char* a, size_t alen, const char* b, size_t blen);
    void Release() noexcept;

    Rep* rep_ = nullptr;
};
