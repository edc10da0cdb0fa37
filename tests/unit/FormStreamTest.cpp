#include "formstream/FormReader.h"

#include "formc/FormCompiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Events = std::vector<std::string>;

// Builds streams by hand: raw bytes, and names with their length byte in front.
struct Stream {
    Bytes bytes;
    Stream& Raw(std::initializer_list<int> values) {
        for (int v : values)
            bytes.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    Stream& Chars(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Stream& Str(const std::string& s) {
        bytes.push_back(static_cast<unsigned char>(s.size()));
        return Chars(s);
    }
};

std::string Utf16ToUtf8(const Text& bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.Length(); i += 2) {
        char32_t c = static_cast<char32_t>(bytes[i] | bytes[i + 1] << 8);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.Length()) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((bytes[i + 2] | bytes[i + 3] << 8) - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Hex(const Text& bytes) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.Length(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02x" : "%02x", bytes[i]);
        out += buf;
    }
    return out;
}

std::string Describe(const FormValue& v) {
    std::string bytes(v.bytes.CStr(), v.bytes.Length());
    std::string n = std::to_string(v.integer);
    switch (v.type) {
    case FormValueType::Null:
        return "null";
    case FormValueType::Nil:
        return "nil";
    case FormValueType::False:
        return "false";
    case FormValueType::True:
        return "true";
    case FormValueType::Int8:
        return "int8 " + n;
    case FormValueType::Int16:
        return "int16 " + n;
    case FormValueType::Int32:
        return "int32 " + n;
    case FormValueType::Int64:
        return "int64 " + n;
    case FormValueType::String:
        return "string '" + bytes + "'";
    case FormValueType::LString:
        return "lstring '" + bytes + "'";
    case FormValueType::Utf8String:
        return "utf8 '" + bytes + "'";
    case FormValueType::WString:
        return "wstring '" + Utf16ToUtf8(v.bytes) + "'";
    case FormValueType::Ident:
        return "ident " + bytes;
    case FormValueType::List:
        return "list " + n;
    case FormValueType::Collection:
        return "collection " + n;
    case FormValueType::Binary:
        return "binary " + Hex(v.bytes);
    case FormValueType::Single:
        return "single " + Hex(v.bytes);
    case FormValueType::Extended:
        return "extended " + Hex(v.bytes);
    case FormValueType::Currency:
        return "currency " + Hex(v.bytes);
    case FormValueType::Date:
        return "date " + Hex(v.bytes);
    case FormValueType::Set: {
        std::string out = "set [";
        for (int64_t i = 0; i < v.integer; ++i)
            out += (i ? "," : "") + std::string(v.SetElement(static_cast<size_t>(i)).CStr());
        EXPECT_TRUE(v.SetElement(static_cast<size_t>(v.integer)).Empty());
        return out + "]";
    }
    }
    return "type " + std::to_string(static_cast<int>(v.type));
}

// Writes down every call, so a test can compare the whole sequence at once.
class Recorder : public FormBuilder {
  public:
    Events events;
    std::vector<FormValue> values;
    void BeginComponent(const Text& className, const Text& name, int depth) override {
        events.push_back("begin " + std::string(className.CStr()) + " " + name.CStr() + " " +
                         std::to_string(depth));
    }
    void Property(const Text& name, const FormValue& value) override {
        events.push_back(std::string(name.CStr()) + " = " + Describe(value));
        values.push_back(value);
    }
    void EndComponent() override { events.push_back("end"); }
};

Events Read(const Bytes& bytes) {
    Recorder recorder;
    ReadForm(bytes.data(), bytes.size(), recorder);
    return recorder.events;
}

std::string ReadError(const Bytes& bytes) {
    Recorder recorder;
    try {
        ReadForm(bytes.data(), bytes.size(), recorder);
    } catch (const EReadError& e) {
        return e.Message().CStr();
    }
    return "(read without error)";
}

// A form holding one of every kind of value, two children and a grandchild, written from the
// format's description alone.
Bytes HandWrittenForm() {
    Stream s;
    s.Chars("TPF0").Str("TForm9").Str("Form9");
    s.Str("Left").Raw({0x02, 0xF8});
    s.Str("Top").Raw({0x03, 0xCC, 0xED});
    s.Str("Width").Raw({0x04, 0xFF, 0xFF, 0xFE, 0xFF});
    s.Str("Big").Raw({0x13, 0x01, 0, 0, 0, 0, 0, 0, 0x80});
    s.Str("Enabled").Raw({0x09});
    s.Str("Visible").Raw({0x08});
    s.Str("Caption").Raw({0x06}).Str("Hi");
    s.Str("Hint").Raw({0x0C, 3, 0, 0, 0}).Chars("abc");
    s.Str("Text").Raw({0x14, 3, 0, 0, 0, 0xE3, 0x81, 0x82});        // あ in UTF-8
    s.Str("Title").Raw({0x12, 2, 0, 0, 0, 0x42, 0x30, 0x44, 0x30}); // あい in UTF-16LE
    s.Str("Color").Raw({0x07}).Str("clBlue");
    s.Str("Font.Style").Raw({0x0B}).Str("fsBold").Str("fsItalic").Raw({0});
    s.Str("BorderIcons").Raw({0x0B, 0});
    s.Str("Popup").Raw({0x0D});
    s.Str("Data").Raw({0x0A, 3, 0, 0, 0, 0x01, 0x02, 0xFF});
    // 'a', 5, (2)
    s.Str("Items").Raw({0x01, 0x06, 1, 'a', 0x02, 5, 0x01, 0x02, 2, 0, 0});
    // an item with order number 0 and Width = 64, then an item without order and properties
    s.Str("Columns").Raw({0x0E, 0x02, 0, 0x01}).Str("Width").Raw({0x02, 64, 0, 0x01, 0, 0});
    s.Str("Ratio").Raw({0x0F, 0, 0, 0x80, 0x3F});
    s.Str("Price").Raw({0x10, 0x10, 0x27, 0, 0, 0, 0, 0, 0});
    s.Str("When").Raw({0x11, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
    s.Str("Scale").Raw({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F});
    s.Str("Nothing").Raw({0x00});
    s.Raw({0}); // end of Form9's properties
    // Label1: filer flags with a child position (Int8 3) before the class name
    s.Raw({0xF2, 0x02, 3}).Str("TLabel").Str("Label1");
    s.Str("Caption").Raw({0x06, 0}).Raw({0});
    s.Raw({0xF1}).Str("TImage").Str("Image1").Raw({0, 0}); // inherited, no position
    s.Raw({0});                                            // end of Label1's children
    s.Str("TPanel").Raw({0, 0, 0});                        // unnamed
    s.Raw({0});                                            // end of Form9's children
    return s.bytes;
}

TEST(FormStream, ReadsAHandWrittenStreamInOrder) {
    Events expected = {
        "begin TForm9 Form9 0",
        "Left = int8 -8",
        "Top = int16 -4660",
        "Width = int32 -65537",
        "Big = int64 -9223372036854775807",
        "Enabled = true",
        "Visible = false",
        "Caption = string 'Hi'",
        "Hint = lstring 'abc'",
        "Text = utf8 'あ'",
        "Title = wstring 'あい'",
        "Color = ident clBlue",
        "Font.Style = set [fsBold,fsItalic]",
        "BorderIcons = set []",
        "Popup = nil",
        "Data = binary 01 02 ff",
        "Items = list 3",
        "Columns = collection 2",
        "Ratio = single 00 00 80 3f",
        "Price = currency 10 27 00 00 00 00 00 00",
        "When = date 00 00 00 00 00 00 f0 3f",
        "Scale = extended 00 00 00 00 00 00 00 80 ff 3f",
        "Nothing = null",
        "begin TLabel Label1 1",
        "Caption = string ''",
        "begin TImage Image1 2",
        "end",
        "end",
        "begin TPanel  1",
        "end",
        "end",
    };
    EXPECT_EQ(Read(HandWrittenForm()), expected);
}

TEST(FormStream, SetsAnswerWhetherTheyHoldAName) {
    Recorder recorder;
    Bytes form = HandWrittenForm();
    ReadForm(form.data(), form.size(), recorder);
    const FormValue& style = recorder.values.at(11);
    ASSERT_EQ(style.type, FormValueType::Set);
    EXPECT_TRUE(style.SetContains("fsBold"));
    EXPECT_TRUE(style.SetContains("fsItalic"));
    EXPECT_FALSE(style.SetContains("fsBol"));
    EXPECT_FALSE(style.SetContains("fsUnderline"));
    EXPECT_FALSE(recorder.values.at(12).SetContains(""));
    EXPECT_FALSE(recorder.values.at(0).SetContains("")) << "an integer is no set";
}

// SkipValue is what lets a consumer pass over a property it does not know: it has to stop
// exactly where reading the value stops.
TEST(FormStream, SkipValueStopsWhereTheValueEnds) {
    const Bytes values[] = {
        {0x00},
        {0x02, 0x80},
        {0x13, 1, 2, 3, 4, 5, 6, 7, 8},
        {0x06, 2, 'H', 'i'},
        {0x0C, 1, 0, 0, 0, 'x'},
        {0x12, 1, 0, 0, 0, 0x42, 0x30},
        {0x0B, 1, 'a', 2, 'b', 'c', 0},
        {0x01, 0x01, 0x06, 0, 0, 0x02, 1, 0},
        {0x0E, 0x03, 1, 0, 0x01, 1, 'W', 0x02, 64, 0, 0x01, 0, 0},
        {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F},
    };
    for (const Bytes& value : values) {
        for (bool skip : {false, true}) {
            Bytes bytes = value;
            bytes.push_back(0x7E); // whatever follows must stay unread
            ByteCursor cursor(bytes.data(), bytes.size());
            FormValueReader reader(cursor);
            if (skip)
                reader.SkipValue();
            else
                reader.Read();
            EXPECT_EQ(cursor.Offset(), value.size())
                << "type " << int(value[0]) << " skip " << skip;
        }
    }
}

std::string ReadSource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FormStream, ReadsTheInstallerLayoutAsFormcWritesIt) {
    std::string path = std::string(TERMIKA_SOURCE_DIR) + "/src/app/Unit1.layout";
    Bytes form = CompileLayout(ReadSource(path), path);
    Events expected = {
        "begin TForm1 Form1 0",
        "Left = int16 168",
        "Top = int8 103",
        "BorderIcons = set [biSystemMenu,biMinimize]",
        "BorderStyle = ident bsSingle",
        "Caption = wstring 'テルミカのインストール'",
        "ClientHeight = int8 122",
        "ClientWidth = int16 337",
        "Color = ident clBlue",
        "Font.Charset = ident SHIFTJIS_CHARSET",
        "Font.Color = ident clBlue",
        "Font.Height = int8 -12",
        "Font.Name = wstring 'ＭＳ Ｐゴシック'",
        "Font.Style = set []",
        "OldCreateOrder = false",
        "Position = ident poDesktopCenter",
        "OnCreate = ident FormCreate",
        "PixelsPerInch = int8 96",
        "TextHeight = int8 12",
        "begin TLabel Label1 1",
        "Left = int8 8",
        "Top = int8 16",
        "Width = int8 44",
        "Height = int8 16",
        "Caption = string 'Label1'",
        "Font.Charset = ident SHIFTJIS_CHARSET",
        "Font.Color = ident clWhite",
        "Font.Height = int8 -16",
        "Font.Name = wstring 'ＭＳ Ｐゴシック'",
        "Font.Style = set []",
        "ParentFont = false",
        "end",
        "begin TButton ButtonInst 1",
        "Left = int8 48",
        "Top = int8 72",
        "Width = int8 81",
        "Height = int8 33",
        "Caption = wstring 'インストール'",
        "Font.Charset = ident SHIFTJIS_CHARSET",
        "Font.Color = ident clGreen",
        "Font.Height = int8 -13",
        "Font.Name = wstring 'ＭＳ Ｐゴシック'",
        "Font.Style = set [fsBold]",
        "ParentFont = false",
        "TabOrder = int8 0",
        "OnClick = ident ButtonInstClick",
        "end",
        "begin TButton ButtonCancel 1",
        "Left = int16 160",
        "Top = int8 72",
        "Width = int8 81",
        "Height = int8 33",
        "Caption = wstring 'キャンセル'",
        "Font.Charset = ident SHIFTJIS_CHARSET",
        "Font.Color = ident clGreen",
        "Font.Height = int8 -13",
        "Font.Name = wstring 'ＭＳ Ｐゴシック'",
        "Font.Style = set [fsBold]",
        "ParentFont = false",
        "TabOrder = int8 1",
        "OnClick = ident ButtonCancelClick",
        "end",
        "end",
    };
    Recorder recorder;
    ReadForm(form.data(), form.size(), recorder);
    EXPECT_EQ(recorder.events, expected);

    // The font name down to its UTF-16 code units: full-width Ｍ and Ｓ, an ordinary space,
    // full-width Ｐ, then ゴシック.
    const std::u16string fontName = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
    const FormValue& name = recorder.values.at(11);
    ASSERT_EQ(name.type, FormValueType::WString);
    ASSERT_EQ(name.bytes.Length(), fontName.size() * 2);
    for (size_t i = 0; i < fontName.size(); ++i)
        EXPECT_EQ(name.bytes[2 * i] | name.bytes[2 * i + 1] << 8, fontName[i]) << i;
}

TEST(FormStream, RefusesEveryTruncation) {
    std::string path = std::string(TERMIKA_SOURCE_DIR) + "/src/app/Unit1.layout";
    for (const Bytes& whole : {HandWrittenForm(), CompileLayout(ReadSource(path), path)}) {
        ASSERT_NO_THROW(Read(whole));
        for (size_t size = 0; size < whole.size(); ++size) {
            // A buffer of exactly `size` bytes, so a read past it is a read past the heap block.
            Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_THROW(Read(part), EReadError) << size;
        }
    }
}

// "TPF0", TForm1 Form1, then `props` and the two end-of-list bytes (offset of props: 17).
Bytes Form(std::initializer_list<int> props, bool ends = true) {
    Stream s;
    s.Chars("TPF0").Str("TForm1").Str("Form1").Raw(props);
    if (ends)
        s.Raw({0, 0});
    return s.bytes;
}

// Components nested `components` deep; the innermost has one property holding `lists`
// nested lists (False when none).
Bytes Nested(int components, int lists) {
    Stream s;
    s.Chars("TPF0");
    for (int i = 0; i < components; ++i) {
        s.Str("T").Str("");
        if (i + 1 < components)
            s.Raw({0}); // no properties, children follow
    }
    s.Str("P");
    for (int i = 0; i < lists; ++i)
        s.Raw({0x01});
    for (int i = 0; i < lists; ++i)
        s.Raw({0});
    if (lists == 0)
        s.Raw({0x08});
    s.Raw({0, 0});
    for (int i = 1; i < components; ++i)
        s.Raw({0});
    return s.bytes;
}

TEST(FormStream, RefusesMalformedStreams) {
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message;
    };
    Bytes trailing = Form({});
    trailing.push_back(0);
    Bytes badSignature = Form({});
    badSignature[3] = '1';
    const Case cases[] = {
        {"empty", {}, "4 bytes needed, 0 left at offset 0"},
        {"bad signature", badSignature, "no TPF0 signature at offset 0"},
        {"unknown value type", Form({1, 'P', 0x15}), "unknown value type 0x15 at offset 19"},
        {"value type FF", Form({1, 'P', 0xFF}), "unknown value type 0xFF at offset 19"},
        {"huge string", Form({1, 'P', 0x0C, 0xFF, 0xFF, 0xFF, 0x7F}),
         "string length 2147483647 with 2 bytes left at offset 20"},
        {"negative string length", Form({1, 'P', 0x14, 0xFF, 0xFF, 0xFF, 0xFF}),
         "string length -1 with 2 bytes left at offset 20"},
        {"binary one byte long", Form({1, 'P', 0x0A, 4, 0, 0, 0, 0xAA}),
         "binary length 4 with 3 bytes left at offset 20"},
        {"negative wide length", Form({1, 'P', 0x12, 0, 0, 0, 0x80}),
         "wide string of -2147483648 characters with 2 bytes left at offset 20"},
        // 2 * count overflows a 32-bit size_t
        {"huge wide length", Form({1, 'P', 0x12, 0xFF, 0xFF, 0xFF, 0x7F}),
         "wide string of 2147483647 characters with 2 bytes left at offset 20"},
        {"odd wide byte count", Form({1, 'P', 0x12, 2, 0, 0, 0, 'A', 0, 'B'}, false),
         "wide string of 2 characters with 3 bytes left at offset 20"},
        {"long property name", Form({0x40, 'P'}), "64 bytes needed, 3 left at offset 18"},
        {"no class name", Stream().Chars("TPF0").Str("").Str("Form1").Raw({0, 0}).bytes,
         "component without a class name at offset 4"},
        {"child position not an integer",
         Stream().Chars("TPF0").Raw({0xF2, 0x06, 1, 'x'}).Str("T").Str("").Raw({0, 0}).bytes,
         "integer expected at offset 5"},
        {"empty identifier", Form({1, 'P', 0x07, 0}), "empty identifier at offset 20"},
        {"zero byte in a set element", Form({1, 'P', 0x0B, 2, 'a', 0, 0}),
         "set element name with a zero byte at offset 20"},
        {"collection item without list", Form({1, 'P', 0x0E, 0x02, 0, 0x05}),
         "collection item without a property list at offset 22"},
        {"unterminated list", Form({1, 'P', 0x01, 0x02, 5}, false),
         "1 bytes needed, 0 left at offset 22"},
        {"unterminated set", Form({1, 'P', 0x0B, 1, 'a'}, false),
         "1 bytes needed, 0 left at offset 22"},
        {"no end of children", Form({0}, false), "1 bytes needed, 0 left at offset 18"},
        {"trailing byte", trailing, "1 bytes after the form at offset 19"},
        {"components too deep", Nested(kMaxFormNesting + 1, 0),
         "components nested too deep at offset 132"},
        {"lists too deep", Nested(1, kMaxFormNesting + 1), "values nested too deep at offset 42"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadError(c.bytes), std::string("Bad form stream: ") + c.message) << c.what;

    // The limits themselves are allowed.
    EXPECT_NO_THROW(Read(Nested(kMaxFormNesting, 0)));
    EXPECT_NO_THROW(Read(Nested(1, kMaxFormNesting)));
}

// --- formc ------------------------------------------------------------------------------------

TEST(FormStreamFormc, EncodesEachValueInItsSmallestForm) {
    struct Case {
        const char* value;
        Bytes expected;
    };
    const Case cases[] = {
        {"127", {0x02, 0x7F}},
        {"-128", {0x02, 0x80}},
        {"128", {0x03, 0x80, 0x00}},
        {"-129", {0x03, 0x7F, 0xFF}},
        {"32768", {0x04, 0x00, 0x80, 0, 0}},
        {"-2147483648", {0x04, 0, 0, 0, 0x80}},
        {"2147483648", {0x13, 0, 0, 0, 0x80, 0, 0, 0, 0}},
        {"$FF", {0x03, 0xFF, 0}},
        {"True", {0x09}},
        {"false", {0x08}},
        {"nil", {0x0D}},
        {"clBtnFace", {0x07, 9, 'c', 'l', 'B', 't', 'n', 'F', 'a', 'c', 'e'}},
        {"[]", {0x0B, 0}},
        {"[a, bc]", {0x0B, 1, 'a', 2, 'b', 'c', 0}},
        {"''", {0x06, 0}},
        {"'it''s'#13#$0A", {0x06, 6, 'i', 't', '\'', 's', '\r', '\n'}},
        {"'a' +\n  'b'", {0x06, 2, 'a', 'b'}},
        {"'é'", {0x12, 1, 0, 0, 0, 0xE9, 0}},
        {"'a'#12354", {0x12, 2, 0, 0, 0, 'a', 0, 0x42, 0x30}},
        {"'😀'", {0x12, 2, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE}},
    };
    for (const Case& c : cases) {
        Bytes form = CompileLayout(std::string("object F: T\n  P = ") + c.value + "\nend\n", "t");
        Stream expected;
        expected.Chars("TPF0").Str("T").Str("F").Str("P");
        expected.bytes.insert(expected.bytes.end(), c.expected.begin(), c.expected.end());
        expected.Raw({0, 0});
        EXPECT_EQ(form, expected.bytes) << c.value;
    }

    std::string longText(256, 'x');
    Bytes form = CompileLayout("object F: T\n  P = '" + longText + "'\nend\n", "t");
    EXPECT_EQ(form.at(10), 0x0C) << "256 ASCII characters need a long string";
}

TEST(FormStreamFormc, ReportsFileAndLineOfErrors) {
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"", "x.layout:1: 'object' expected"},
        {"object F: T\n  P = 1\n\n", "x.layout:2: 'end' missing for 'F'"},
        {"object F: T\n  P = [a,\nend\n", "x.layout:3: set element expected"},
        {"object F T\nend\n", "x.layout:1: ':' expected"},
        {"object F: T\n  P = 'abc\nend\n", "x.layout:2: unterminated string"},
        {"object F: T\n  P =\nend\n", "x.layout:3: value expected"},
        {"object F: T\n  P = [a b]\nend\n", "x.layout:2: ']' expected"},
        {"object F: T\n  P = [a,]\nend\n", "x.layout:2: set element expected"},
        {"object F: T\n\n  P = 99999999999999999999\nend\n", "x.layout:3: integer out of range"},
        {"object F: T\n  P = 12ab\nend\n", "x.layout:2: malformed integer"},
        {"object F: T\n  P = #1114112\nend\n", "x.layout:2: character code out of range"},
        {"object F: T\n  P = '\xC3'\nend\n", "x.layout:2: invalid UTF-8"},
        {"object F: T\n  P = '\xC0\x80'\nend\n", "x.layout:2: invalid UTF-8"},
        {"object F: T\n  P = ?\nend\n", "x.layout:2: unexpected character '?'"},
        {"object F: T\n  object G: T\n  end\n  P = 1\nend\n",
         "x.layout:4: property after a child component"},
        {"object F: T\nend\nobject G: T\nend\n", "x.layout:3: text after the last 'end'"},
    };
    for (const Case& c : cases) {
        try {
            CompileLayout(c.source, "x.layout");
            ADD_FAILURE() << "compiled: " << c.source;
        } catch (const LayoutError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.source;
        }
    }

    std::string longName(256, 'n');
    EXPECT_THROW(CompileLayout("object F: " + longName + "\nend\n", "x.layout"), LayoutError);
    EXPECT_NO_THROW(CompileLayout("object F: " + longName.substr(1) + "\nend\n", "x.layout"));

    std::string deep;
    for (int i = 0; i <= kMaxFormNesting; ++i)
        deep += "object F: T\n";
    EXPECT_THROW(CompileLayout(deep, "x.layout"), LayoutError);
}

} // namespace
