#include "base/Text.h"
#include "base/Texts.h"

#include "Sjis.h"

#include <gtest/gtest.h>

#include <string>

TEST(Text, SharesAndConcatenatesWithoutTouchingTheOriginals) {
    Text a("C:\\Dist");
    Text b = a; // shared
    Text c = a + "\\" + Text("x\0y", 3);
    EXPECT_EQ(std::string(a.CStr()), "C:\\Dist");
    EXPECT_EQ(b, a);
    ASSERT_EQ(c.Length(), 11u);
    EXPECT_EQ(std::string(c.CStr(), c.Length()), std::string("C:\\Dist\\x\0y", 11));
    EXPECT_EQ(c.CStr()[c.Length()], '\0');
    EXPECT_EQ(c.Left(2), Text("C:"));
    EXPECT_TRUE(Text().Empty());
    EXPECT_STREQ(Text().CStr(), "");
    Text d = b;
    d += "!";
    EXPECT_EQ(b, Text("C:\\Dist"));
    EXPECT_EQ(d, Text("C:\\Dist!"));
    // Against a plain string: the whole text, embedded zero bytes included.
    EXPECT_TRUE(a == "C:\\Dist");
    EXPECT_FALSE(a == "C:\\Dis");
    EXPECT_FALSE(a == "C:\\Dist\\");
    EXPECT_FALSE(Text("x\0y", 3) == "x");
    EXPECT_TRUE(Text() == "");
}

// The program's texts are written as code page 932 bytes; each must be the bytes of
// the Japanese text it stands for.
TEST(Texts, AreTheCodePage932BytesOfTheirJapaneseOriginals) {
    struct Case {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {texts::kTitle, "テルミカのインストール"},
        {texts::kSuccessNotice, "テルミカをインストールしました。\r"
                                "「コントロールパネル」－「画面」－「スクリーンセーバー」で\r"
                                "「テルミカ」を設定してください。"},
        {texts::kFailureNotice, "テルミカのインストールに失敗しました。"},
        {texts::kInstruction, "テルミカのインストールを開始します。\r"
                              "「インストール」ボタンを押してください。"},
        {texts::kScreenSaverName, "テルミカ.scr"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.bytes), Sjis(c.utf8)) << c.utf8;
}
