// Any bytes given to ReadForm are read or refused with EReadError: never a crash, never a
// read outside them (libFuzzer hands over a heap copy of exactly their size). A builder
// checks that what the reader reports on the way is well formed, refused or not.
#include "formstream/FormReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "form stream fuzz: %s\n", what);
        std::abort();
    }
}

int64_t Bound(int bits) {
    return int64_t{1} << (bits - 1);
}

bool InRange(int64_t n, int bits) {
    return n >= -Bound(bits) && n < Bound(bits);
}

// What each value type promises about the fields a builder reads.
void CheckValue(const FormValue& v) {
    size_t n = v.bytes.Length();
    switch (v.type) {
    case FormValueType::Null:
    case FormValueType::Nil:
        Check(v.integer == 0 && n == 0, "null or nil with contents");
        break;
    case FormValueType::False:
    case FormValueType::True:
        Check(v.IsBoolean() && v.integer == (v.type == FormValueType::True ? 1 : 0),
              "boolean with the wrong value");
        break;
    case FormValueType::Int8:
        Check(v.IsInteger() && InRange(v.integer, 8), "int8 out of range");
        break;
    case FormValueType::Int16:
        Check(v.IsInteger() && InRange(v.integer, 16), "int16 out of range");
        break;
    case FormValueType::Int32:
        Check(v.IsInteger() && InRange(v.integer, 32), "int32 out of range");
        break;
    case FormValueType::Int64:
        Check(v.IsInteger(), "int64 not an integer");
        break;
    case FormValueType::Single:
        Check(n == 4, "single not 4 bytes");
        break;
    case FormValueType::Currency:
    case FormValueType::Date:
        Check(n == 8, "currency or date not 8 bytes");
        break;
    case FormValueType::Extended:
        Check(n == 10, "extended not 10 bytes");
        break;
    case FormValueType::String:
        Check(v.IsNarrowString() && n <= 255, "short string longer than its length byte");
        break;
    case FormValueType::LString:
    case FormValueType::Utf8String:
        Check(v.IsNarrowString(), "long string not narrow");
        break;
    case FormValueType::WString:
        Check(v.IsWideString() && n % 2 == 0, "wide string of an odd byte count");
        break;
    case FormValueType::Ident:
        Check(n >= 1 && n <= 255, "identifier empty or too long");
        break;
    case FormValueType::Binary:
        break;
    case FormValueType::Set: {
        Check(v.integer >= 0, "set with a negative count");
        size_t count = static_cast<size_t>(v.integer);
        size_t total = 0;
        for (size_t i = 0; i < count; ++i) {
            Text element = v.SetElement(i);
            Check(!element.Empty() && element.Length() <= 255, "set element empty or too long");
            Check(v.SetContains(element), "set does not contain its own element");
            total += element.Length() + 1;
        }
        Check(v.SetElement(count).Empty(), "set element past the last");
        Check(total == n, "set bytes not its elements");
        break;
    }
    case FormValueType::List:
    case FormValueType::Collection:
        Check(v.integer >= 0 && n == 0, "list or collection with contents kept");
        break;
    default:
        Check(false, "value of an unknown type");
    }
}

// Components open and close in order, children after all of their parent's properties,
// and exactly one root.
class CheckingBuilder : public FormBuilder {
  public:
    void BeginComponent(const Text& className, const Text& name, int depth) override {
        Check(depth >= 0 && depth < kMaxFormNesting, "depth out of range");
        Check(static_cast<size_t>(depth) == open_.size(), "depth is not the nesting");
        Check(depth > 0 || roots_ == 0, "a second root");
        Check(!className.Empty() && className.Length() <= 255, "class name empty or too long");
        Check(name.Length() <= 255, "name too long");
        if (depth == 0)
            ++roots_;
        else
            open_.back() = true;
        open_.push_back(false);
    }
    void Property(const Text& name, const FormValue& value) override {
        Check(!open_.empty(), "property outside a component");
        Check(!open_.back(), "property after a child");
        Check(name.Length() <= 255, "property name too long");
        CheckValue(value);
    }
    void EndComponent() override {
        Check(!open_.empty(), "end without a begin");
        open_.pop_back();
    }

    bool Complete() const { return roots_ == 1 && open_.empty(); }

  private:
    std::vector<bool> open_; // per open component: whether a child has begun
    int roots_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckingBuilder builder;
    try {
        ReadForm(data, size, builder);
    } catch (const EReadError& e) {
        Check(std::strncmp(e.Message().CStr(), "Bad form stream: ", 17) == 0,
              "refusal without the usual message");
        return 0;
    }
    Check(builder.Complete(), "stream read without one whole root component");
    Check(size >= 4 && std::memcmp(data, "TPF0", 4) == 0, "stream read without a signature");
    return 0;
}
