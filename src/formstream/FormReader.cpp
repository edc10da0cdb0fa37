#include "formstream/FormReader.h"

#include "base/Buffer.h"

#include <cstring>

namespace {

// Numbers are formatted by hand so the installer does not pull in printf.
Text Decimal(uint64_t n) {
    char digits[24];
    size_t i = sizeof digits;
    do {
        digits[--i] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return Text(digits + i, sizeof digits - i);
}

Text SignedDecimal(int64_t n) {
    return n < 0 ? Text("-") + Decimal(0 - static_cast<uint64_t>(n))
                 : Decimal(static_cast<uint64_t>(n));
}

Text HexByte(unsigned char b) {
    const char* hex = "0123456789ABCDEF";
    const char text[] = {'0', 'x', hex[b >> 4], hex[b & 15]};
    return Text(text, sizeof text);
}

const char* AsChars(const unsigned char* bytes) {
    return reinterpret_cast<const char*>(bytes);
}

constexpr unsigned char kFilerFlagsPrefix = 0xF0;
constexpr unsigned char kChildPosFlag = 0x02;

} // namespace

bool FormValue::IsInteger() const {
    return type == FormValueType::Int8 || type == FormValueType::Int16 ||
           type == FormValueType::Int32 || type == FormValueType::Int64;
}

bool FormValue::IsNarrowString() const {
    return type == FormValueType::String || type == FormValueType::LString ||
           type == FormValueType::Utf8String;
}

Text FormValue::SetElement(size_t index) const {
    if (type != FormValueType::Set)
        return Text();
    const char* p = bytes.CStr();
    const char* end = p + bytes.Length();
    for (; p < end; p += std::strlen(p) + 1) {
        if (index-- == 0)
            return Text(p);
    }
    return Text();
}

bool FormValue::SetContains(const Text& name) const {
    if (type != FormValueType::Set)
        return false;
    const char* p = bytes.CStr();
    const char* end = p + bytes.Length();
    for (; p < end; p += std::strlen(p) + 1) {
        if (Text(p) == name)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------

void ByteCursor::Fail(const Text& problem) const {
    FailAt(offset_, problem);
}

void ByteCursor::FailAt(size_t offset, const Text& problem) const {
    throw EReadError(Text("Bad form stream: ") + problem + " at offset " + Decimal(offset));
}

void ByteCursor::Need(size_t count) const {
    if (count > Remaining())
        Fail(Decimal(count) + " bytes needed, " + Decimal(Remaining()) + " left");
}

unsigned char ByteCursor::PeekByte() const {
    Need(1);
    return data_[offset_];
}

unsigned char ByteCursor::ReadByte() {
    Need(1);
    return data_[offset_++];
}

uint16_t ByteCursor::ReadUInt16() {
    const unsigned char* p = ReadBytes(2);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t ByteCursor::ReadUInt32() {
    const unsigned char* p = ReadBytes(4);
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t ByteCursor::ReadUInt64() {
    uint64_t low = ReadUInt32();
    return low | static_cast<uint64_t>(ReadUInt32()) << 32;
}

const unsigned char* ByteCursor::ReadBytes(size_t count) {
    Need(count);
    const unsigned char* p = data_ + offset_;
    offset_ += count;
    return p;
}

// ---------------------------------------------------------------------------------------------

void FormValueReader::ReadSignature() {
    size_t at = cursor_.Offset();
    if (std::memcmp(cursor_.ReadBytes(4), "TPF0", 4) != 0)
        cursor_.FailAt(at, "no TPF0 signature");
}

FormValueType FormValueReader::NextValue() const {
    unsigned char b = cursor_.PeekByte();
    if (b > static_cast<unsigned char>(FormValueType::Utf8String))
        cursor_.Fail(Text("unknown value type ") + HexByte(b));
    return static_cast<FormValueType>(b);
}

FormValueType FormValueReader::ReadValue() {
    FormValueType type = NextValue();
    cursor_.ReadByte();
    return type;
}

Text FormValueReader::ReadStr() {
    size_t length = cursor_.ReadByte();
    return Text(AsChars(cursor_.ReadBytes(length)), length);
}

int64_t FormValueReader::ReadInteger() {
    size_t at = cursor_.Offset();
    FormValue value = Read();
    if (!value.IsInteger())
        cursor_.FailAt(at, "integer expected");
    return value.integer;
}

FormValue FormValueReader::Read() {
    FormValue value;
    value.type = ReadValue();
    ReadBody(value.type, &value, 0);
    return value;
}

void FormValueReader::SkipValue() {
    ReadBody(ReadValue(), nullptr, 0);
}

bool FormValueReader::EndOfList() const {
    return cursor_.PeekByte() == 0;
}

void FormValueReader::ReadListEnd() {
    if (cursor_.PeekByte() != 0)
        cursor_.Fail("end of list expected");
    cursor_.ReadByte();
}

size_t FormValueReader::ReadLength(const char* what) {
    size_t at = cursor_.Offset();
    int64_t length = static_cast<int32_t>(cursor_.ReadUInt32());
    if (length < 0 || static_cast<uint64_t>(length) > cursor_.Remaining())
        cursor_.FailAt(at, Text(what) + " length " + SignedDecimal(length) + " with " +
                               Decimal(cursor_.Remaining()) + " bytes left");
    return static_cast<size_t>(length);
}

void FormValueReader::CheckDepth(int depth) const {
    if (depth > kMaxFormNesting)
        cursor_.Fail("values nested too deep");
}

// Reads the value after its type byte into `value`, or only checks and skips it when
// `value` is null.
void FormValueReader::ReadBody(FormValueType type, FormValue* value, int depth) {
    FormValue ignored;
    FormValue& out = value ? *value : ignored;
    switch (type) {
    case FormValueType::Null:
    case FormValueType::Nil:
        break;
    case FormValueType::False:
        out.integer = 0;
        break;
    case FormValueType::True:
        out.integer = 1;
        break;
    case FormValueType::Int8:
        // An Int8 value is signed: its byte is meant to be sign-extended.
        // NOLINTNEXTLINE(bugprone-signed-char-misuse)
        out.integer = static_cast<int8_t>(cursor_.ReadByte());
        break;
    case FormValueType::Int16:
        out.integer = static_cast<int16_t>(cursor_.ReadUInt16());
        break;
    case FormValueType::Int32:
        out.integer = static_cast<int32_t>(cursor_.ReadUInt32());
        break;
    case FormValueType::Int64:
        out.integer = static_cast<int64_t>(cursor_.ReadUInt64());
        break;
    case FormValueType::Single:
    case FormValueType::Currency:
    case FormValueType::Date:
    case FormValueType::Extended: {
        size_t size = type == FormValueType::Single ? 4 : type == FormValueType::Extended ? 10 : 8;
        const unsigned char* p = cursor_.ReadBytes(size);
        if (value)
            out.bytes = Text(AsChars(p), size);
        break;
    }
    case FormValueType::String:
    case FormValueType::Ident: {
        size_t at = cursor_.Offset();
        Text text = ReadStr();
        if (type == FormValueType::Ident && text.Empty())
            cursor_.FailAt(at, "empty identifier");
        out.bytes = text;
        break;
    }
    case FormValueType::LString:
    case FormValueType::Utf8String:
    case FormValueType::Binary: {
        size_t length = ReadLength(type == FormValueType::Binary ? "binary" : "string");
        const unsigned char* p = cursor_.ReadBytes(length);
        if (value)
            out.bytes = Text(AsChars(p), length);
        break;
    }
    case FormValueType::WString: {
        size_t at = cursor_.Offset();
        int64_t count = static_cast<int32_t>(cursor_.ReadUInt32());
        if (count < 0 || static_cast<uint64_t>(count) > cursor_.Remaining() / 2)
            cursor_.FailAt(at, Text("wide string of ") + SignedDecimal(count) +
                                   " characters with " + Decimal(cursor_.Remaining()) +
                                   " bytes left");
        size_t size = static_cast<size_t>(count) * 2;
        const unsigned char* p = cursor_.ReadBytes(size);
        if (value)
            out.bytes = Text(AsChars(p), size);
        break;
    }
    case FormValueType::Set: {
        // One pass to check the names and size the result, one to copy them.
        ByteCursor names = cursor_;
        size_t total = 0;
        size_t count = 0;
        for (;;) {
            size_t at = cursor_.Offset();
            size_t length = cursor_.ReadByte();
            if (length == 0)
                break;
            if (std::memchr(cursor_.ReadBytes(length), 0, length))
                cursor_.FailAt(at, "set element name with a zero byte");
            total += length + 1;
            ++count;
        }
        out.integer = static_cast<int64_t>(count);
        if (value && total != 0) {
            Buffer buffer(total);
            char* dest = buffer.Bytes();
            for (size_t i = 0; i < count; ++i) {
                size_t length = names.ReadByte();
                std::memcpy(dest, names.ReadBytes(length), length);
                dest += length + 1; // the buffer starts zeroed
            }
            out.bytes = Text(buffer.Bytes(), total);
        }
        break;
    }
    case FormValueType::List: {
        CheckDepth(depth + 1);
        size_t count = 0;
        while (!EndOfList()) {
            ReadBody(ReadValue(), nullptr, depth + 1);
            ++count;
        }
        ReadListEnd();
        out.integer = static_cast<int64_t>(count);
        break;
    }
    case FormValueType::Collection: {
        CheckDepth(depth + 1);
        size_t count = 0;
        while (!EndOfList()) {
            SkipCollectionItem(depth + 1);
            ++count;
        }
        ReadListEnd();
        out.integer = static_cast<int64_t>(count);
        break;
    }
    }
}

// An item: an optional order number, then its properties as a list.
void FormValueReader::SkipCollectionItem(int depth) {
    FormValueType type = NextValue();
    if (type == FormValueType::Int8 || type == FormValueType::Int16 || type == FormValueType::Int32)
        ReadInteger();
    if (ReadValue() != FormValueType::List)
        cursor_.FailAt(cursor_.Offset() - 1, "collection item without a property list");
    while (!EndOfList()) {
        ReadStr();
        ReadBody(ReadValue(), nullptr, depth);
    }
    ReadListEnd();
}

// ---------------------------------------------------------------------------------------------

namespace {

void ReadComponent(ByteCursor& cursor, FormValueReader& reader, FormBuilder& builder, int depth) {
    if (depth >= kMaxFormNesting)
        cursor.Fail("components nested too deep");
    if ((cursor.PeekByte() & kFilerFlagsPrefix) == kFilerFlagsPrefix) {
        unsigned char flags = cursor.ReadByte();
        // The position among inherited children does not change how we build the form.
        if (flags & kChildPosFlag)
            reader.ReadInteger();
    }
    size_t at = cursor.Offset();
    Text className = reader.ReadStr();
    if (className.Empty())
        cursor.FailAt(at, "component without a class name");
    Text name = reader.ReadStr();
    builder.BeginComponent(className, name, depth);
    while (!reader.EndOfList()) {
        Text property = reader.ReadStr();
        builder.Property(property, reader.Read());
    }
    reader.ReadListEnd();
    while (!reader.EndOfList())
        ReadComponent(cursor, reader, builder, depth + 1);
    reader.ReadListEnd();
    builder.EndComponent();
}

} // namespace

void ReadForm(const unsigned char* data, size_t size, FormBuilder& builder) {
    ByteCursor cursor(data, size);
    FormValueReader reader(cursor);
    reader.ReadSignature();
    ReadComponent(cursor, reader, builder, 0);
    // The resource holds exactly one form; anything after it means the stream is not what
    // was written.
    if (cursor.Remaining() != 0)
        cursor.Fail(Decimal(cursor.Remaining()) + " bytes after the form");
}
