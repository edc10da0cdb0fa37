#include "FormCompiler.h"

#include <algorithm>
#include <cstdint>

namespace {

// Type bytes of the values formc writes (the reader's FormValueType has them all).
enum : unsigned char {
    kNull = 0,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kString = 6,
    kIdent = 7,
    kFalse = 8,
    kTrue = 9,
    kSet = 11,
    kLString = 12,
    kNil = 13,
    kWString = 18,
    kInt64 = 19,
};

constexpr int kMaxNesting = 32;

struct Token {
    enum Kind { End, Name, Integer, String, Punct } kind = End;
    std::string text;            // Name: the name; Punct: the character
    int64_t integer = 0;         // Integer
    std::vector<char32_t> chars; // String: the characters
    int line = 0;
};

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char c) {
    return IsDigit(c) ? c - '0' : (c >= 'a' ? c - 'a' : c - 'A') + 10;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return i == a.size() && !b[i];
}

class Lexer {
  public:
    Lexer(const std::string& source, const std::string& fileName) : src_(source), file_(fileName) {
        if (src_.compare(0, 3, "\xEF\xBB\xBF") == 0)
            pos_ = 3;
    }

    [[noreturn]] void Fail(int line, const std::string& what) const {
        throw LayoutError(file_ + ":" + std::to_string(line) + ": " + what);
    }

    Token Next() {
        SkipSpace();
        Token t;
        if (pos_ >= src_.size()) {
            t.line = lastLine_; // the end of the text is reported on its last line
            return t;
        }
        t.line = lastLine_ = line_;
        char c = src_[pos_];
        if (IsNameStart(c)) {
            t.kind = Token::Name;
            while (pos_ < src_.size() &&
                   (IsNameStart(src_[pos_]) || IsDigit(src_[pos_]) || src_[pos_] == '.'))
                t.text += src_[pos_++];
        } else if (IsDigit(c) || c == '$' || (c == '-' && pos_ + 1 < src_.size())) {
            t.kind = Token::Integer;
            t.integer = ReadInteger();
        } else if (c == '\'' || c == '#') {
            t.kind = Token::String;
            ReadString(t.chars);
        } else if (c == ':' || c == '=' || c == '[' || c == ']' || c == ',' || c == '+') {
            t.kind = Token::Punct;
            t.text = c;
            ++pos_;
        } else {
            Fail(line_, std::string("unexpected character '") + c + "'");
        }
        return t;
    }

  private:
    void SkipSpace() {
        while (pos_ < src_.size()) {
            char c = src_[pos_];
            if (c == '\n')
                ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                ++pos_;
            else if (src_.compare(pos_, 2, "//") == 0)
                pos_ = std::min(src_.find('\n', pos_), src_.size());
            else
                break;
        }
    }

    int64_t ReadInteger() {
        bool negative = src_[pos_] == '-';
        if (negative)
            ++pos_;
        bool hex = pos_ < src_.size() && src_[pos_] == '$';
        if (hex)
            ++pos_;
        const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
        uint64_t value = 0;
        size_t start = pos_;
        for (; pos_ < src_.size() && (hex ? IsHexDigit(src_[pos_]) : IsDigit(src_[pos_])); ++pos_) {
            unsigned base = hex ? 16 : 10;
            unsigned digit = static_cast<unsigned>(HexValue(src_[pos_]));
            if (value > (limit - digit) / base)
                Fail(line_, "integer out of range");
            value = value * base + digit;
        }
        if (pos_ == start || (pos_ < src_.size() && IsNameStart(src_[pos_])))
            Fail(line_, "malformed integer");
        return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
    }

    // Quoted pieces and #nnn character codes, written next to each other.
    void ReadString(std::vector<char32_t>& chars) {
        while (pos_ < src_.size()) {
            if (src_[pos_] == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= src_.size() || src_[pos_] == '\n' || src_[pos_] == '\r')
                        Fail(line_, "unterminated string");
                    if (src_[pos_] == '\'') {
                        ++pos_;
                        if (pos_ < src_.size() && src_[pos_] == '\'') {
                            chars.push_back('\'');
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    chars.push_back(ReadUtf8());
                }
            } else if (src_[pos_] == '#') {
                ++pos_;
                if (pos_ >= src_.size() || !(IsDigit(src_[pos_]) || src_[pos_] == '$'))
                    Fail(line_, "malformed character code");
                int64_t code = ReadInteger();
                if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                    Fail(line_, "character code out of range");
                chars.push_back(static_cast<char32_t>(code));
            } else {
                break;
            }
        }
    }

    char32_t ReadUtf8() {
        unsigned char b = static_cast<unsigned char>(src_[pos_++]);
        if (b < 0x80)
            return b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra == 0 || b > 0xF4)
            Fail(line_, "invalid UTF-8");
        char32_t c = b & (0x3F >> extra);
        for (int i = 0; i < extra; ++i) {
            if (pos_ >= src_.size() || (static_cast<unsigned char>(src_[pos_]) & 0xC0) != 0x80)
                Fail(line_, "invalid UTF-8");
            c = c << 6 | (static_cast<unsigned char>(src_[pos_++]) & 0x3F);
        }
        static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            Fail(line_, "invalid UTF-8");
        return c;
    }

    const std::string& src_;
    const std::string& file_;
    size_t pos_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
};

class Compiler {
  public:
    Compiler(const std::string& source, const std::string& fileName) : lex_(source, fileName) {
        Advance();
    }

    std::vector<unsigned char> Run() {
        Put("TPF0");
        Component(0);
        if (tok_.kind != Token::End)
            Fail("text after the last 'end'");
        return out_;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const { lex_.Fail(tok_.line, what); }
    void Advance() { tok_ = lex_.Next(); }
    bool IsPunct(char c) const { return tok_.kind == Token::Punct && tok_.text[0] == c; }
    bool IsKeyword(const char* word) const {
        return tok_.kind == Token::Name && EqualsNoCase(tok_.text, word);
    }
    void Expect(char c) {
        if (!IsPunct(c))
            Fail(std::string("'") + c + "' expected");
        Advance();
    }
    std::string ExpectName(const char* what) {
        if (tok_.kind != Token::Name || IsKeyword("end") || IsKeyword("object"))
            Fail(std::string(what) + " expected");
        if (tok_.text.size() > 255)
            Fail(std::string(what) + " longer than 255 bytes");
        std::string name = tok_.text;
        Advance();
        return name;
    }

    void Put(const char* bytes) {
        while (*bytes)
            out_.push_back(static_cast<unsigned char>(*bytes++));
    }
    void PutByte(unsigned b) { out_.push_back(static_cast<unsigned char>(b)); }
    void PutLittleEndian(uint64_t v, int size) {
        for (int i = 0; i < size; ++i)
            PutByte(static_cast<unsigned>(v >> (8 * i) & 0xFF));
    }
    // Names only: ExpectName has checked their length.
    void PutShortString(const std::string& s) {
        PutByte(static_cast<unsigned>(s.size()));
        Put(s.c_str());
    }

    void Component(int depth) {
        // The installer refuses deeper forms; say so here rather than at run time.
        if (depth >= kMaxNesting)
            Fail("components nested too deep");
        if (!IsKeyword("object"))
            Fail("'object' expected");
        Advance();
        std::string name = ExpectName("component name");
        Expect(':');
        std::string className = ExpectName("class name");
        PutShortString(className);
        PutShortString(name);
        bool children = false;
        while (!IsKeyword("end")) {
            if (tok_.kind == Token::End)
                Fail("'end' missing for '" + name + "'");
            if (IsKeyword("object")) {
                if (!children)
                    PutByte(kNull); // the property list ends where the first child starts
                children = true;
                Component(depth + 1);
                continue;
            }
            if (children)
                Fail("property after a child component");
            Property();
        }
        Advance();
        if (!children)
            PutByte(kNull);
        PutByte(kNull);
    }

    void Property() {
        PutShortString(ExpectName("property name"));
        Expect('=');
        Value();
    }

    void Value() {
        if (tok_.kind == Token::Integer) {
            Integer(tok_.integer);
            Advance();
        } else if (tok_.kind == Token::String) {
            std::vector<char32_t> chars;
            for (;;) {
                chars.insert(chars.end(), tok_.chars.begin(), tok_.chars.end());
                Advance();
                if (!IsPunct('+'))
                    break;
                Advance();
                if (tok_.kind != Token::String)
                    Fail("string expected after '+'");
            }
            String(chars);
        } else if (IsKeyword("true") || IsKeyword("false") || IsKeyword("nil")) {
            PutByte(IsKeyword("true") ? kTrue : IsKeyword("false") ? kFalse : kNil);
            Advance();
        } else if (tok_.kind == Token::Name && !IsKeyword("end") && !IsKeyword("object")) {
            PutByte(kIdent);
            PutShortString(ExpectName("identifier"));
        } else if (IsPunct('[')) {
            Advance();
            PutByte(kSet);
            if (!IsPunct(']')) {
                PutShortString(ExpectName("set element"));
                while (IsPunct(',')) {
                    Advance();
                    PutShortString(ExpectName("set element"));
                }
            }
            Expect(']');
            PutByte(0);
        } else {
            Fail("value expected");
        }
    }

    void Integer(int64_t v) {
        if (v >= INT8_MIN && v <= INT8_MAX) {
            PutByte(kInt8);
            PutLittleEndian(static_cast<uint64_t>(v), 1);
        } else if (v >= INT16_MIN && v <= INT16_MAX) {
            PutByte(kInt16);
            PutLittleEndian(static_cast<uint64_t>(v), 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            PutByte(kInt32);
            PutLittleEndian(static_cast<uint64_t>(v), 4);
        } else {
            PutByte(kInt64);
            PutLittleEndian(static_cast<uint64_t>(v), 8);
        }
    }

    // ASCII stays single-byte; anything else goes out as UTF-16 so the reader needs no
    // knowledge of the source's encoding.
    void String(const std::vector<char32_t>& chars) {
        bool ascii = true;
        for (char32_t c : chars)
            ascii = ascii && c < 0x80;
        if (ascii) {
            if (chars.size() <= 255) {
                PutByte(kString);
                PutByte(static_cast<unsigned>(chars.size()));
            } else {
                PutByte(kLString);
                PutLittleEndian(chars.size(), 4);
            }
            for (char32_t c : chars)
                PutByte(c);
            return;
        }
        std::vector<uint16_t> units;
        for (char32_t c : chars) {
            if (c < 0x10000) {
                units.push_back(static_cast<uint16_t>(c));
            } else {
                units.push_back(static_cast<uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
                units.push_back(static_cast<uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            }
        }
        PutByte(kWString);
        PutLittleEndian(units.size(), 4);
        for (uint16_t u : units)
            PutLittleEndian(u, 2);
    }

    Lexer lex_;
    Token tok_;
    std::vector<unsigned char> out_;
};

} // namespace

std::vector<unsigned char> CompileLayout(const std::string& source, const std::string& fileName) {
    return Compiler(source, fileName).Run();
}
