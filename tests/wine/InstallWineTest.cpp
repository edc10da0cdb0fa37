// The install run against the real system under Wine, with code page 932. The test
// program is started from a distribution folder whose name ends in 表 (95 5C) and under
// a name holding ソ (83 5C), so the source folder must be found by the double-byte rules.
#include "WineTest.h"

#include "base/Texts.h"
#include "install/Install.h"
#include "install/Locations.h"
#include "sys/WinSystem.h"
#include "toolkit/Application.h"
#include "toolkit/MessageForm.h"

#include <cstring>
#include <string>
#include <vector>

using winetest::Ansi;

namespace {

enum class Dismiss { Click, Enter, Escape };

struct Notice {
    std::string caption;
    std::string text;
    int buttons = 0;
    std::string buttonText;
    bool icon = false;
    bool openedBefore = false; // the read-me was already opened when the notice came up
    RECT rect = {};
};

std::vector<Notice> notices;
Dismiss dismissWith = Dismiss::Click;
int closes = 0;
size_t noticesAtClose = 0;

const std::string kOpenedLog = "C:\\opened.log";

BOOL CALLBACK InspectChild(HWND child, LPARAM param) {
    auto* notice = reinterpret_cast<Notice*>(param);
    char cls[64] = {}, text[1024] = {};
    GetClassNameA(child, cls, sizeof(cls));
    GetWindowTextA(child, text, sizeof(text));
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) {
        ++notice->buttons;
        notice->buttonText = text;
    } else if (lstrcmpiA(cls, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON)
            notice->icon = true;
        else
            notice->text = text;
    }
    return TRUE;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char cls[64] = {};
        GetClassNameA(window, cls, sizeof(cls));
        if (std::strcmp(cls, TMessageForm::kClassName) == 0) {
            Notice notice;
            char caption[256] = {};
            GetWindowTextA(window, caption, sizeof(caption));
            notice.caption = caption;
            EnumChildWindows(window, InspectChild, reinterpret_cast<LPARAM>(&notice));
            notice.openedBefore = GetFileAttributesA(kOpenedLog.c_str()) != INVALID_FILE_ATTRIBUTES;
            GetWindowRect(window, &notice.rect);
            notices.push_back(notice);
            HWND ok = GetDlgItem(window, IDOK);
            switch (dismissWith) {
            case Dismiss::Click:
                PostMessageA(ok, BM_CLICK, 0, 0);
                break;
            case Dismiss::Enter:
                PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0);
                break;
            case Dismiss::Escape:
                PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void RecordClose(void*) {
    ++closes;
    noticesAtClose = notices.size();
}

std::string WindowsPath(const wchar_t* name) { return Ansi((std::wstring(L"C:\\windows\\") + name).c_str()); }

void Remove(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// Takes away everything an install leaves, and the record of opened files.
void Clean() {
    for (const wchar_t* f : {L"TermikaData\\Haikei0.jpg", L"TermikaData\\Haikei1.jpg",
                             L"TermikaData\\Haikei2.jpg", L"TermikaData\\ReadMe.txt",
                             L"テルミカ.scr"})
        Remove(WindowsPath(f));
    RemoveDirectoryA(WindowsPath(L"TermikaData").c_str());
    Remove(WindowsPath(L"TermikaData"));
    Remove(kOpenedLog);
}

struct Run {
    std::vector<Notice> notices;
    int closes;
    size_t noticesAtClose;
};

Run Install(const Text& sourceDir, const CodePageRules& rules, Dismiss dismiss) {
    notices.clear();
    closes = 0;
    dismissWith = dismiss;
    sys::WinSystem system(RecordClose, nullptr);
    install::Run(system, rules, sourceDir);
    return {notices, closes, noticesAtClose};
}

const wchar_t* const kInstalled[][2] = {
    {L"TermikaData\\Haikei0.jpg", L"TermikaData\\Haikei0.jpg"},
    {L"TermikaData\\Haikei1.jpg", L"TermikaData\\Haikei1.jpg"},
    {L"TermikaData\\Haikei2.jpg", L"TermikaData\\Haikei2.jpg"},
    {L"ReadMe.txt", L"TermikaData\\ReadMe.txt"},
    {L"テルミカ.scr", L"テルミカ.scr"},
};

void CheckSuccess(const Run& run, const std::string& sourceDir) {
    CHECK_EQ(run.notices.size(), 1u);
    if (run.notices.empty())
        return;
    const Notice& n = run.notices[0];
    CHECK_EQ(n.caption, std::string(texts::kTitle));
    // The lines are the notice's own, one per carriage return.
    CHECK_EQ(n.text, Ansi(L"テルミカをインストールしました。\r\n"
                          L"「コントロールパネル」－「画面」－「スクリーンセーバー」で\r\n"
                          L"「テルミカ」を設定してください。"));
    CHECK_EQ(n.buttons, 1);
    CHECK_EQ(n.buttonText, std::string("OK"));
    CHECK(!n.icon);
    CHECK(!n.openedBefore);
    int cx = (n.rect.left + n.rect.right) / 2, cy = (n.rect.top + n.rect.bottom) / 2;
    CHECK(std::abs(cx - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1);
    CHECK(std::abs(cy - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1);
    CHECK_EQ(run.closes, 1);
    CHECK_EQ(run.noticesAtClose, 1u);
    // The distribution's own read-me is opened, not the installed copy.
    std::string opened;
    CHECK(winetest::WaitForFile(kOpenedLog, 20000));
    Sleep(200);
    CHECK(winetest::ReadFileBytes(kOpenedLog, opened));
    CHECK(opened.find(sourceDir + "ReadMe.txt") != std::string::npos);
    CHECK_EQ(opened.find("TermikaData"), std::string::npos);
}

void CheckFailure(const Run& run) {
    CHECK_EQ(run.notices.size(), 1u);
    if (!run.notices.empty()) {
        CHECK_EQ(run.notices[0].caption, std::string(texts::kTitle));
        CHECK_EQ(run.notices[0].text, Ansi(L"テルミカのインストールに失敗しました。"));
    }
    CHECK_EQ(run.closes, 1);
    CHECK_EQ(run.noticesAtClose, 1u);
    Sleep(3000); // give an open request, were there one, time to arrive
    CHECK(GetFileAttributesA(kOpenedLog.c_str()) == INVALID_FILE_ATTRIBUTES);
}

} // namespace

int main() {
    TApplication application;
    Application = &application;
    Application->SetTitle(texts::kTitle);
    HHOOK hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    CHECK(hook != nullptr);

    sys::WinSystem probe;
    CodePageRules rules = CodePageRules::FromAnsiCodePage(probe);
    CHECK(rules.InForce());

    // The folder as the wide API sees it, which has no double-byte rules to get wrong.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    *(wcsrchr(self, L'\\') + 1) = L'\0';
    std::string expectedDir = Ansi(self);
    CHECK(expectedDir.find("\x95\x5C\x5C") != std::string::npos); // ...\表\ as the test needs
    Text sourceDir = install::CaptureSourceDir(probe, rules);
    std::string dir(sourceDir.CStr(), sourceDir.Length());
    CHECK_EQ(dir, expectedDir);

    // A fresh install: the data folder is made, every file lands under its own name.
    Clean();
    CheckSuccess(Install(sourceDir, rules, Dismiss::Click), dir);
    for (const auto& item : kInstalled)
        CHECK(winetest::SameContents(dir + Ansi(item[0]), WindowsPath(item[1])));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(L"C:\\windows\\テルミカ.scr", &found);
    CHECK(find != INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) {
        CHECK(std::wstring(found.cFileName) == L"テルミカ.scr");
        FindClose(find);
    }

    // Installing again replaces every installed file; Enter dismisses the notice.
    for (const auto& item : kInstalled)
        CHECK(winetest::WriteFileBytes(WindowsPath(item[1]), "stale"));
    Remove(kOpenedLog);
    CheckSuccess(Install(sourceDir, rules, Dismiss::Enter), dir);
    for (const auto& item : kInstalled)
        CHECK(winetest::SameContents(dir + Ansi(item[0]), WindowsPath(item[1])));

    // A file named TermikaData: the images and the read-me fail without a word, the
    // screen saver decides, and Esc dismisses the notice.
    Clean();
    CHECK(winetest::WriteFileBytes(WindowsPath(L"TermikaData"), "in the way"));
    CheckSuccess(Install(sourceDir, rules, Dismiss::Escape), dir);
    DWORD attributes = GetFileAttributesA(WindowsPath(L"TermikaData").c_str());
    CHECK(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY));
    CHECK(winetest::SameContents(dir + Ansi(L"テルミカ.scr"), WindowsPath(L"テルミカ.scr")));

    // An installed screen saver held open without sharing: the install fails, nothing
    // is opened, and what was copied stays.
    Clean();
    CheckSuccess(Install(sourceDir, rules, Dismiss::Click), dir);
    Remove(kOpenedLog);
    HANDLE held = CreateFileA(WindowsPath(L"テルミカ.scr").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    CHECK(held != INVALID_HANDLE_VALUE);
    CheckFailure(Install(sourceDir, rules, Dismiss::Click));
    CloseHandle(held);
    CHECK(winetest::SameContents(dir + "TermikaData\\Haikei0.jpg", WindowsPath(L"TermikaData\\Haikei0.jpg")));

    // The folder creation on the real file system: missing parents are made, a file in
    // the way stops it, and a folder whose name ends in 表 is made whole.
    std::string base = Ansi(L"C:\\作業\\表");
    CHECK(install::ForceDirectories(probe, rules, (base + "\\a\\b\\").c_str()));
    attributes = GetFileAttributesA((base + "\\a\\b").c_str());
    CHECK(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    CHECK(winetest::WriteFileBytes(base + "\\file", "x"));
    CHECK(!install::ForceDirectories(probe, rules, (base + "\\file\\sub").c_str()));

    Clean();
    UnhookWindowsHookEx(hook);
    return winetest::Finish("install_wine_test");
}
