// Reads a binary form stream ("TPF0"): the window layout the program carries as a resource.
// Three layers: a bounds-checked little-endian cursor, a value reader, and ReadForm, which
// walks the components and hands each one and its properties to a FormBuilder as they come,
// so reading needs no containers. Anything malformed is refused with EReadError.
#pragma once

#include "base/Exception.h"
#include "base/Text.h"

#include <cstddef>
#include <cstdint>

// The type byte in front of every value. Bytes from 21 on mean different things to
// different writers, so they are refused as unknown.
enum class FormValueType : unsigned char {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
};

// Lists, collections and components nested deeper than this are refused.
constexpr int kMaxFormNesting = 32;

// One property value as the stream holds it; `type` says which fields mean something.
struct FormValue {
    FormValueType type = FormValueType::Null;
    // Int8..Int64: the value; False/True: 0/1; Set, List, Collection: the number of elements.
    int64_t integer = 0;
    // String, LString: ANSI bytes; Utf8String: UTF-8 bytes; WString: UTF-16LE bytes;
    // Ident: the name; Set: each element name followed by a zero byte; Binary: the data;
    // Single, Extended, Currency, Date: the raw little-endian bytes.
    // List and Collection contents are checked and skipped, not kept.
    Text bytes;

    bool IsInteger() const;
    bool IsBoolean() const { return type == FormValueType::False || type == FormValueType::True; }
    // String, LString or Utf8String.
    bool IsNarrowString() const;
    bool IsWideString() const { return type == FormValueType::WString; }
    // Element `index` of a set, "" past the last.
    Text SetElement(size_t index) const;
    bool SetContains(const Text& name) const;
};

class ByteCursor {
  public:
    ByteCursor(const unsigned char* data, size_t size) : data_(data), size_(data ? size : 0) {}

    size_t Offset() const { return offset_; }
    size_t Remaining() const { return size_ - offset_; }

    unsigned char PeekByte() const;
    unsigned char ReadByte();
    uint16_t ReadUInt16();
    uint32_t ReadUInt32();
    uint64_t ReadUInt64();
    // The next `count` bytes, in place.
    const unsigned char* ReadBytes(size_t count);

    // Throws EReadError with the problem and the current offset.
    [[noreturn]] void Fail(const Text& problem) const;
    [[noreturn]] void FailAt(size_t offset, const Text& problem) const;

  private:
    void Need(size_t count) const;

    const unsigned char* data_;
    size_t size_;
    size_t offset_ = 0;
};

class FormValueReader {
  public:
    explicit FormValueReader(ByteCursor& cursor) : cursor_(cursor) {}

    void ReadSignature();
    // The next type byte; unknown ones are refused.
    FormValueType ReadValue();
    FormValueType NextValue() const;
    // A length byte and that many bytes: names of classes, components, properties.
    Text ReadStr();
    // An Int8, Int16, Int32 or Int64 value, type byte included.
    int64_t ReadInteger();
    // A whole value, type byte included.
    FormValue Read();
    void SkipValue();
    // Whether the next byte is the zero that ends a property, component or value list.
    bool EndOfList() const;
    void ReadListEnd();

  private:
    void ReadBody(FormValueType type, FormValue* value, int depth);
    void SkipCollectionItem(int depth);
    // An int32 byte length, checked against what is left.
    size_t ReadLength(const char* what);
    void CheckDepth(int depth) const;

    ByteCursor& cursor_;
};

class FormBuilder {
  public:
    virtual ~FormBuilder() = default;
    // depth is 0 for the root; a component's children come between its BeginComponent
    // and EndComponent, after all its properties.
    virtual void BeginComponent(const Text& className, const Text& name, int depth) = 0;
    // In stream order; dotted names such as "Font.Height" come as they are.
    virtual void Property(const Text& name, const FormValue& value) = 0;
    virtual void EndComponent() = 0;
};

// Reads a whole stream: signature, root component, and nothing after it.
void ReadForm(const unsigned char* data, size_t size, FormBuilder& builder);
