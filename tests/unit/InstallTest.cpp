#include "install/Install.h"

#include "base/Texts.h"
#include "install/Locations.h"

#include "FakeSystem.h"
#include "Sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

CodePageRules Japanese() {
    FakeSystem system;
    return CodePageRules::FromAnsiCodePage(system);
}

// A machine with C:\WINDOWS and a complete distribution in C:\Dist.
struct Machine : FakeSystem {
    Machine() {
        AddFolder("C:");
        AddFolder("C:\\WINDOWS");
        AddFolder("C:\\Dist");
        AddFolder("C:\\Dist\\TermikaData");
        for (const char* f : {"TermikaData\\Haikei0.jpg", "TermikaData\\Haikei1.jpg",
                              "TermikaData\\Haikei2.jpg", "ReadMe.txt"})
            AddFile(std::string("C:\\Dist\\") + f);
        AddFile(Sjis("C:\\Dist\\テルミカ.scr"));
    }
    void Install() { install::Run(*this, Japanese(), "C:\\Dist\\"); }
};

const std::string kSuccess = std::string("ShowNotice ") + texts::kSuccessNotice;
const std::string kFailure = std::string("ShowNotice ") + texts::kFailureNotice;
const std::string kOpenReadMe = "ShellExecuteA (default) C:\\Dist\\ReadMe.txt show=1";

Log Copies() {
    Log copies;
    for (const char* f : {"TermikaData\\Haikei0.jpg", "TermikaData\\Haikei1.jpg",
                          "TermikaData\\Haikei2.jpg"})
        copies.push_back(std::string("CopyFileA C:\\Dist\\") + f + " -> C:\\WINDOWS\\" + f +
                         " overwrite");
    copies.push_back("CopyFileA C:\\Dist\\ReadMe.txt -> C:\\WINDOWS\\TermikaData\\ReadMe.txt "
                     "overwrite");
    copies.push_back(Sjis("CopyFileA C:\\Dist\\テルミカ.scr -> C:\\WINDOWS\\テルミカ.scr overwrite"));
    return copies;
}

Log Concat(std::initializer_list<Log> parts) {
    Log all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(ForceDirectories, MakesMissingFoldersOutermostFirstAndStopsAtTheFirstFailure) {
    struct Case {
        const char* name;
        std::string path; // UTF-8
        bool made;
        Log created; // CreateDirectoryA calls, in order
    } cases[] = {
        {"existing folder", "C:\\WINDOWS", true, {}},
        {"missing parents", "C:\\a\\b\\c", true,
         {"CreateDirectoryA C:\\a", "CreateDirectoryA C:\\a\\b", "CreateDirectoryA C:\\a\\b\\c"}},
        {"bare drive", "D:", true, {}},
        {"drive root", "D:\\", true, {}},
        {"trailing separator", "C:\\a\\b\\", true,
         {"CreateDirectoryA C:\\a", "CreateDirectoryA C:\\a\\b"}},
        {"parent cannot be made", "C:\\ro\\x\\y", false, {"CreateDirectoryA C:\\ro\\x"}},
        {"file in the way", "C:\\file\\sub", false, {"CreateDirectoryA C:\\file"}},
        {"no separator", "Data", false, {}},
        {"empty path", "", false, {}},
        {"existing folder without separator", "Here", true, {}},
        // 表 ends in a byte 0x5C that is no separator: the folder is made whole.
        {"double-byte name", "C:\\図表\\sub", true,
         {"CreateDirectoryA C:\\図表", "CreateDirectoryA C:\\図表\\sub"}},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.AddFolder("C:");
        system.AddFolder("C:\\WINDOWS");
        system.AddFolder("C:\\ro");
        system.readOnlyDirs.insert("C:\\ro");
        system.AddFile("C:\\file");
        system.AddFolder("Here");
        bool made = install::ForceDirectories(system, Japanese(), Sjis(c.path).c_str());
        EXPECT_EQ(made, c.made) << c.name;
        Log expected;
        for (const auto& line : c.created)
            expected.push_back(Sjis(line));
        EXPECT_EQ(system.Calls("CreateDirectoryA"), expected) << c.name;
    }
}

TEST(ForceDirectories, WithoutTheRulesA0x5CTrailByteSplitsTheName) {
    FakeSystem system;
    system.AddFolder("C:");
    install::ForceDirectories(system, CodePageRules(), Sjis("C:\\表\\sub").c_str());
    // The first folder tried is the name cut after the lead byte of 表.
    ASSERT_FALSE(system.Calls("CreateDirectoryA").empty());
    EXPECT_EQ(system.Calls("CreateDirectoryA")[0], "CreateDirectoryA C:\\\x95");
}

TEST(InstallRun, FreshInstallMakesTheDataFolderCopiesInOrderThenNoticeOpenClose) {
    Machine m;
    m.Install();
    EXPECT_EQ(m.log, Concat({{"GetWindowsDirectoryA 261",
                              "GetFileAttributesA C:\\WINDOWS\\TermikaData",
                              "GetFileAttributesA C:\\WINDOWS\\TermikaData",
                              "GetFileAttributesA C:\\WINDOWS",
                              "CreateDirectoryA C:\\WINDOWS\\TermikaData"},
                             Copies(),
                             {kSuccess, kOpenReadMe, "CloseMainWindow"}}));
    EXPECT_EQ(m.copied.size(), 5u);
}

TEST(InstallRun, OverAnEarlierInstallReplacesEveryFileWithoutMakingTheFolder) {
    Machine m;
    m.Install();
    m.log.clear();
    m.copied.clear();
    m.Install();
    EXPECT_EQ(m.log, Concat({{"GetWindowsDirectoryA 261",
                              "GetFileAttributesA C:\\WINDOWS\\TermikaData"},
                             Copies(),
                             {kSuccess, kOpenReadMe, "CloseMainWindow"}}));
    EXPECT_EQ(m.copied.size(), 5u);
}

TEST(InstallRun, OutcomeIsDecidedByTheScreenSaverAlone) {
    struct Case {
        const char* name;
        std::function<void(Machine&)> setUp;
        size_t copied;
        Log end; // what follows the copies
    } cases[] = {
        {"image 1 missing", [](Machine& m) { m.entries.erase("C:\\Dist\\TermikaData\\Haikei1.jpg"); },
         4, {kSuccess, kOpenReadMe, "CloseMainWindow"}},
        {"only the screen saver",
         [](Machine& m) {
             for (auto f : {"TermikaData\\Haikei0.jpg", "TermikaData\\Haikei1.jpg",
                            "TermikaData\\Haikei2.jpg", "ReadMe.txt"})
                 m.entries.erase(std::string("C:\\Dist\\") + f);
         },
         1, {kSuccess, kOpenReadMe, "CloseMainWindow"}},
        {"screen saver missing", [](Machine& m) { m.entries.erase(Sjis("C:\\Dist\\テルミカ.scr")); },
         4, {kFailure, "CloseMainWindow"}},
        {"installed screen saver in use",
         [](Machine& m) { m.locked.insert(Sjis("C:\\WINDOWS\\テルミカ.scr")); },
         4, {kFailure, "CloseMainWindow"}},
        {"a file named like the data folder",
         [](Machine& m) { m.AddFile("C:\\WINDOWS\\TermikaData"); },
         1, {kSuccess, kOpenReadMe, "CloseMainWindow"}},
    };
    for (const auto& c : cases) {
        Machine m;
        c.setUp(m);
        m.Install();
        EXPECT_EQ(m.Calls("CopyFileA"), Copies()) << c.name; // every copy is tried
        EXPECT_EQ(m.copied.size(), c.copied) << c.name;
        Log tail(m.log.end() - static_cast<long>(c.end.size()), m.log.end());
        EXPECT_EQ(tail, c.end) << c.name;
        EXPECT_EQ(m.Calls("ShellExecuteA").size(), c.end.size() == 3 ? 1u : 0u) << c.name;
    }
}

TEST(InstallRun, WithoutAWindowsFolderNothingIsMadeOrCopiedAndTheInstallFails) {
    // 0: the call failed; 300: the folder needs a larger buffer than 261 bytes.
    for (uint32_t result : {0u, 261u, 300u}) {
        Machine m;
        m.windowsDir = "";
        m.windowsDirResult = [result](uint32_t) { return result; };
        m.Install();
        EXPECT_EQ(m.log, (Log{"GetWindowsDirectoryA 261", kFailure, "CloseMainWindow"}))
            << result;
    }
}

TEST(InstallRun, OpensTheDistributionsReadMeEvenWhenItsCopyFailed) {
    Machine m;
    m.locked.insert("C:\\WINDOWS\\TermikaData\\ReadMe.txt");
    m.AddFolder("C:\\WINDOWS\\TermikaData");
    m.Install();
    EXPECT_EQ(m.copied.size(), 4u);
    EXPECT_EQ(m.Calls("ShellExecuteA"), (Log{kOpenReadMe}));
}
