#include "install/Locations.h"

#include "FakeSystem.h"
#include "Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Str(const Text& t) { return std::string(t.CStr(), t.Length()); }

CodePageRules Japanese() {
    FakeSystem system;
    return CodePageRules::FromAnsiCodePage(system);
}

std::string Capture(const std::string& modulePath, const CodePageRules& rules) {
    FakeSystem system;
    system.modulePath = modulePath;
    return Str(install::CaptureSourceDir(system, rules));
}

} // namespace

TEST(SourceDir, IsTheExecutablesPathUpToItsLastSeparator) {
    struct Case {
        std::string modulePath; // UTF-8, converted to code page 932
        std::string withRules;
        std::string withoutRules;
    } cases[] = {
        {"D:\\Setup.exe", "D:\\", "D:\\"},
        {"C:\\Dist\\Setup.exe", "C:\\Dist\\", "C:\\Dist\\"},
        {"\\\\server\\share\\Setup.exe", "\\\\server\\share\\", "\\\\server\\share\\"},
        // ソ and 表 end in a byte 0x5C that is no separator under the rules.
        {"C:\\Dist\\ソフト.exe", "C:\\Dist\\", "C:\\Dist\\ソ"},
        {"D:\\表示.exe", "D:\\", "D:\\表"},
        {"C:\\図表\\Setup.exe", "C:\\図表\\", "C:\\図表\\"},
        {"C:\\Dist\\表\\ソフト.exe", "C:\\Dist\\表\\", "C:\\Dist\\表\\ソ"},
        {"", "\\", "\\"},
        {"Setup.exe", "\\", "\\"},
    };
    for (const auto& c : cases) {
        std::string path = Sjis(c.modulePath);
        EXPECT_EQ(Capture(path, Japanese()), Sjis(c.withRules)) << c.modulePath;
        EXPECT_EQ(Capture(path, CodePageRules()), Sjis(c.withoutRules)) << c.modulePath;
    }
}

TEST(SourceDir, FolderEndingInATrailByte0x5CGetsASeparatorOfItsOwn) {
    // C:\図表 with 表 = 95 5C: the final byte 0x5C belongs to 表, so one more follows.
    std::string dir = Capture(Sjis("C:\\図表\\Setup.exe"), Japanese());
    ASSERT_EQ(dir.size(), 8u);
    EXPECT_EQ(static_cast<unsigned char>(dir[5]), 0x95);
    EXPECT_EQ(dir.substr(6), "\\\\");
}

TEST(SourceDir, ALongPathIsAskedForAgainUntilItFits) {
    FakeSystem system;
    // Cut to 261 bytes, this path's last separator would fall inside the ancestor "C:\long".
    std::string folder = "C:\\long\\" + std::string(300, 'a');
    system.modulePath = folder + "\\Setup.exe";
    EXPECT_EQ(Str(install::CaptureSourceDir(system, Japanese())), folder + "\\");
    EXPECT_EQ(system.moduleBufferSizes, (std::vector<uint32_t>{261, 522}));

    system.moduleBufferSizes.clear();
    system.modulePath = "C:\\" + std::string(20000, 'b') + "\\x.exe";
    EXPECT_EQ(Str(install::CaptureSourceDir(system, Japanese())),
              "C:\\" + std::string(20000, 'b') + "\\");
    EXPECT_EQ(system.moduleBufferSizes,
              (std::vector<uint32_t>{261, 522, 1044, 2088, 4176, 8352, 16704, 32768}));

    // A path that does not fit even the system's largest is taken as it stands, cut; the
    // system refuses paths that long, so they can only fail, never name other files.
    system.moduleBufferSizes.clear();
    system.modulePath = "C:\\" + std::string(40000, 'c');
    EXPECT_EQ(Str(install::CaptureSourceDir(system, Japanese())),
              "C:\\" + std::string(32765, 'c') + "\\");
    EXPECT_EQ(system.moduleBufferSizes.back(), 32768u);
    system.zeroEndsCutModulePath = true; // as newer systems cut it: no zero inside the folder
    EXPECT_EQ(Str(install::CaptureSourceDir(system, Japanese())),
              "C:\\" + std::string(32764, 'c') + "\\");
    system.zeroEndsCutModulePath = false;

    // A path of exactly 260 bytes fits the first buffer with its terminating zero.
    system.moduleBufferSizes.clear();
    system.modulePath = "C:\\" + std::string(251, 'd') + "\\a.exe";
    ASSERT_EQ(system.modulePath.size(), 260u);
    EXPECT_EQ(Str(install::CaptureSourceDir(system, Japanese())),
              "C:\\" + std::string(251, 'd') + "\\");
    EXPECT_EQ(system.moduleBufferSizes, (std::vector<uint32_t>{261}));
}

TEST(WindowsDir, IsTheAnswerUpToItsFirstZeroAndEmptyWhenTheCallFailed) {
    struct Case {
        std::string answer;
        int result; // -1: the length, as the call returns it on success
        std::string expected;
    } cases[] = {
        {"C:\\WINDOWS", -1, "C:\\WINDOWS"},
        {"C:\\", -1, "C:\\"},
        {"C:\\WINDOWS", 0, ""},            // the call failed
        {"C:\\WINDOWS", 300, ""},          // needs a larger buffer
        {"C:\\WINDOWS", 261, ""},          // the same, at the edge
        {std::string(260, 'w'), -1, std::string(260, 'w')},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.windowsDir = c.answer;
        if (c.result >= 0)
            system.windowsDirResult = [&](uint32_t) { return static_cast<uint32_t>(c.result); };
        EXPECT_EQ(Str(install::QueryWindowsDir(system)), c.expected) << c.answer << " " << c.result;
        EXPECT_EQ(system.log, (std::vector<std::string>{"GetWindowsDirectoryA 261"}));
    }
}

TEST(CopyItems, AreComposedByPlainConcatenation) {
    install::CopyItem items[install::kCopyItemCount];
    install::ComposeCopyItems("C:\\Dist\\", "C:\\WINDOWS", items);
    const char* expected[][2] = {
        {"C:\\Dist\\TermikaData\\Haikei0.jpg", "C:\\WINDOWS\\TermikaData\\Haikei0.jpg"},
        {"C:\\Dist\\TermikaData\\Haikei1.jpg", "C:\\WINDOWS\\TermikaData\\Haikei1.jpg"},
        {"C:\\Dist\\TermikaData\\Haikei2.jpg", "C:\\WINDOWS\\TermikaData\\Haikei2.jpg"},
        {"C:\\Dist\\ReadMe.txt", "C:\\WINDOWS\\TermikaData\\ReadMe.txt"},
        {"C:\\Dist\\テルミカ.scr", "C:\\WINDOWS\\テルミカ.scr"},
    };
    for (int i = 0; i < install::kCopyItemCount; ++i) {
        EXPECT_EQ(Str(items[i].source), Sjis(expected[i][0])) << i;
        EXPECT_EQ(Str(items[i].destination), Sjis(expected[i][1])) << i;
    }
    EXPECT_EQ(Str(install::DataDir("C:\\WINDOWS")), "C:\\WINDOWS\\TermikaData");
    EXPECT_EQ(Str(install::OpenedReadMe("D:\\")), "D:\\ReadMe.txt");

    // A Windows folder that ends in a separator keeps it, and one more follows.
    install::ComposeCopyItems("D:\\", "C:\\", items);
    EXPECT_EQ(Str(items[0].destination), "C:\\\\TermikaData\\Haikei0.jpg");
    EXPECT_EQ(Str(items[4].destination), Sjis("C:\\\\テルミカ.scr"));
    EXPECT_EQ(Str(items[4].source), Sjis("D:\\テルミカ.scr"));
}
