#include "base/CodePage.h"

#include "FakeSystem.h"
#include "Sjis.h"

#include <gtest/gtest.h>

using Kind = CodePageRules::ByteKind;

TEST(CodePageRules, ComeFromTheProcesssAnsiCodePage) {
    FakeSystem system;
    system.ansiCodePage = 932;
    CodePageRules japanese = CodePageRules::FromAnsiCodePage(system);
    EXPECT_TRUE(japanese.InForce());
    for (int b : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(japanese.IsLeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0x41})
        EXPECT_FALSE(japanese.IsLeadByte(static_cast<unsigned char>(b))) << b;

    system.ansiCodePage = 1252; // a single-byte code page: no lead bytes
    EXPECT_FALSE(CodePageRules::FromAnsiCodePage(system).InForce());
    system.ansiCodePage = 12345; // unknown to GetCPInfo
    EXPECT_FALSE(CodePageRules::FromAnsiCodePage(system).InForce());
}

TEST(CodePageRules, ClassBytesByTheRunOfLeadBytesBeforeThem) {
    FakeSystem system;
    CodePageRules rules = CodePageRules::FromAnsiCodePage(system);
    // ソ is 83 5C; メ is 83 81, whose second byte is itself in the lead set.
    std::string s = Sjis("aソ\\メ\\メソ");
    const Kind expected[] = {Kind::Single, Kind::Lead,  Kind::Trail, Kind::Single,
                             Kind::Lead,   Kind::Trail, Kind::Single, Kind::Lead,
                             Kind::Trail,  Kind::Lead,  Kind::Trail};
    ASSERT_EQ(s.size(), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < s.size(); ++i)
        EXPECT_EQ(rules.Kind(s.c_str(), i), expected[i]) << "byte " << i;

    CodePageRules off;
    for (size_t i = 0; i < s.size(); ++i)
        EXPECT_EQ(off.Kind(s.c_str(), i), Kind::Single);
}
