// The installer worked from outside its process, as a user works it: started from a
// distribution folder, its windows found and read back, real keystrokes and clicks sent
// through the system's input queue, and the files and exit code it leaves checked.
// Every scenario starts the program afresh from a copy of the distribution, with nothing
// installed before.
//
// Arguments: the group of scenarios (window, notices, faults, dpi), the sample
// distribution folder, a work folder, the folder for screenshots, the folder of the
// built programs.
#include "../WineTest.h"
#include "Driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace e2e;
using winetest::Ansi;

namespace {

struct Folders {
    std::string sample, work, shots, bin;
};
Folders folders;
int distributions = 0;

const char kProgram[] = "TermikaSetUp.exe";
const std::string kOpenedLog = "C:\\opened.log";
const std::string kMenuLog = "C:\\sysmenu.log";

std::string Title() { return Ansi(L"テルミカのインストール"); }
std::string ScreenSaverName() { return Ansi(L"テルミカ.scr"); }
std::string InstalledScreenSaver() { return "C:\\windows\\" + ScreenSaverName(); }
const std::string kDataDir = "C:\\windows\\TermikaData";

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// Code page 932 text as UTF-8, for messages.
std::string Utf8(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    int n = MultiByteToWideChar(932, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    std::string out(static_cast<size_t>(n) * 3 + 1, '\0');
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], static_cast<int>(out.size()),
                                nullptr, nullptr);
    out.resize(m > 0 ? static_cast<size_t>(m - 1) : 0);
    return out;
}

// --- fresh state ---------------------------------------------------------------------

void CleanInstall() {
    RemoveTree(kDataDir);
    RemoveTree(InstalledScreenSaver());
    RemoveTree(kOpenedLog);
    RemoveTree(kMenuLog);
}

bool NothingInstalled() {
    return !Exists(kDataDir) && !Exists(InstalledScreenSaver()) && !Exists(kOpenedLog);
}

// A folder of its own holding the sample distribution and the program, nothing installed.
std::string FreshDistribution(const char* program, bool withScreenSaver = true) {
    CleanInstall();
    std::string dir = folders.work + "\\" + std::to_string(++distributions);
    RemoveTree(dir);
    CHECK(CopyTree(folders.sample, dir));
    CHECK(CopyFileA((folders.bin + "\\" + program).c_str(), (dir + "\\" + program).c_str(),
                    FALSE));
    if (!withScreenSaver)
        RemoveTree(dir + "\\" + ScreenSaverName());
    return dir;
}

void CheckInstalled(const std::string& dir) {
    CHECK(winetest::SameContents(dir + "\\" + ScreenSaverName(), InstalledScreenSaver()));
    for (const char* name : {"Haikei0.jpg", "Haikei1.jpg", "Haikei2.jpg"})
        CHECK(winetest::SameContents(dir + "\\TermikaData\\" + name, kDataDir + "\\" + name));
    CHECK(winetest::SameContents(dir + "\\ReadMe.txt", kDataDir + "\\ReadMe.txt"));
}

bool NothingOpened() { return !Exists(kOpenedLog) && !ProcessRunning("open_recorder.exe"); }

// --- the installer window ------------------------------------------------------------

struct Parts {
    HWND form = nullptr, label = nullptr, install = nullptr, cancel = nullptr;
};

Parts FindParts(HWND form) {
    Parts p;
    p.form = form;
    p.label = ChildOfClass(form, "Static");
    for (HWND button : {ChildOfClass(form, "Button", 0), ChildOfClass(form, "Button", 1)}) {
        if (TextOf(button) == Ansi(L"インストール"))
            p.install = button;
        else if (TextOf(button) == Ansi(L"キャンセル"))
            p.cancel = button;
    }
    return p;
}

bool Started(Program& program, const std::string& exe, const std::string& folder) {
    if (program.Start(exe, folder))
        return true;
    winetest::Fail(__FILE__, __LINE__, "cannot start " + exe);
    return false;
}

// Starts the program and waits for its window; false (and a failed check) without one.
bool Launch(Program& program, const std::string& dir, const char* exe, Parts& parts) {
    if (!Started(program, dir + "\\" + exe, dir))
        return false;
    HWND form = WaitVisible(program.Id(), "TForm1");
    CHECK(form != nullptr);
    if (!form)
        return false;
    parts = FindParts(form);
    CHECK(parts.label && parts.install && parts.cancel);
    return parts.label && parts.install && parts.cancel;
}

bool IsDefault(HWND button) { return (StyleOf(button) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

// The focus is on the button, which alone wears the default frame.
bool FocusedWithFrame(const Parts& p, HWND button) {
    HWND other = button == p.install ? p.cancel : p.install;
    return FocusOf(p.form) == button && IsDefault(button) && !IsDefault(other);
}

// Ready for keys: in front, the focus where the program put it at start.
bool ReadyAtStart(const Parts& p) {
    bool front = BringToFront(p.form);
    CHECK(front);
    bool ready = WaitUntil([&] { return FocusedWithFrame(p, p.install); });
    CHECK(ready);
    return front && ready;
}

// Input is handled in order, so once a Tab sent after earlier input has moved the focus,
// that input has been handled as well. False when the program ended instead.
bool Barrier(const Program& program, const Parts& p) {
    HWND next = FocusOf(p.form) == p.install ? p.cancel : p.install;
    Press(VK_TAB);
    return WaitUntil([&] { return FocusOf(p.form) == next || !program.Running(); }) &&
           program.Running();
}

void EndsWithCode(Program& program, DWORD expected) {
    DWORD code = 999;
    bool ended = program.WaitExit(15000, code);
    CHECK(ended);
    if (ended)
        CHECK_EQ(code, expected);
}

std::string Bitmap(const char* name) { return folders.shots + "\\" + name + ".bmp"; }

// --- fonts the program draws with, measured here ------------------------------------------

HFONT LayoutFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Ansi(L"ＭＳ Ｐゴシック").c_str());
}

SIZE TextSize(HFONT font, const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {r.right - r.left, r.bottom - r.top};
}

int ZeroHeight(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "0", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cy;
}

int MessageLineHeight() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return tm.tmHeight;
}

std::string Instruction() {
    return Ansi(L"テルミカのインストールを開始します。\r\n「インストール」ボタンを押してください。");
}

// The layout's rectangles, in client coordinates of the window, scaled by m / d.
void CheckLayout(const Parts& p, int m, int d) {
    RECT client = {};
    GetClientRect(p.form, &client);
    CHECK_EQ(Width(client), MulDiv(337, m, d));
    CHECK_EQ(Height(client), MulDiv(122, m, d));

    struct Expected {
        HWND button;
        int left, top, width, height;
    } buttons[] = {{p.install, 48, 72, 81, 33}, {p.cancel, 160, 72, 81, 33}};
    for (const auto& e : buttons) {
        RECT r = RectInParent(e.button);
        CHECK_EQ(r.left, MulDiv(e.left, m, d));
        CHECK_EQ(r.top, MulDiv(e.top, m, d));
        CHECK_EQ(Width(r), MulDiv(e.width, m, d));
        CHECK_EQ(Height(r), MulDiv(e.height, m, d));
    }

    // The label is as large as its two lines in its font, which scales with the rest.
    RECT label = RectInParent(p.label);
    CHECK_EQ(label.left, MulDiv(8, m, d));
    CHECK_EQ(label.top, MulDiv(16, m, d));
    HFONT font = LayoutFont(MulDiv(-16, m, d));
    SIZE text = TextSize(font, Instruction());
    DeleteObject(font);
    CHECK_EQ(Width(label), static_cast<int>(text.cx));
    CHECK_EQ(Height(label), static_cast<int>(text.cy));
}

// --- the window menu, read from inside the program by menu_spy.dll -----------------------

struct MenuItem {
    UINT id;
    UINT state;
    std::string text;
};

HMODULE spy = nullptr;

// Opens the window menu with Alt+Space and reads its items as the program has them.
std::vector<MenuItem> OpenWindowMenu(const Program& program, const Parts& p) {
    std::vector<MenuItem> items;
    if (!spy)
        spy = LoadLibraryA((folders.bin + "\\menu_spy.dll").c_str());
    auto proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(spy, "MenuSpyHook")));
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, spy,
                                   GetWindowThreadProcessId(p.form, nullptr));
    CHECK(hook != nullptr);
    RemoveTree(kMenuLog);
    Chord({VK_MENU}, VK_SPACE);
    bool open = WaitUntil([&] {
        return FindVisible(program.Id(), "#32768") != nullptr && Exists(kMenuLog);
    });
    CHECK(open);
    std::string log;
    WaitUntil([&] { return winetest::ReadFileBytes(kMenuLog, log) && !log.empty(); }, 2000);
    if (hook)
        UnhookWindowsHookEx(hook);
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        std::string line = log.substr(start, end - start);
        MenuItem item = {};
        int used = 0;
        if (std::sscanf(line.c_str(), "%u %u %n", &item.id, &item.state, &used) >= 2) {
            item.text = line.substr(static_cast<size_t>(used));
            items.push_back(item);
        }
    }
    return items;
}

const MenuItem* FindItem(const std::vector<MenuItem>& items, UINT id) {
    for (const auto& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

// The key that picks a menu item: the letter after its '&'.
WORD Mnemonic(const MenuItem& item) {
    size_t amp = item.text.find('&');
    if (amp == std::string::npos || amp + 1 >= item.text.size())
        return 0;
    char letter = item.text[amp + 1];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return static_cast<WORD>(static_cast<unsigned char>(letter));
}

// --- the window --------------------------------------------------------------------------

void WindowLooks() {
    std::printf("-- the window: geometry, styles, colours, window menu, no resizing\n");
    std::string dir = FreshDistribution(kProgram);
    Program program;
    if (!Started(program, dir + "\\" + kProgram, dir))
        return;
    HWND form = WaitVisible(program.Id(), "TForm1");
    CHECK(form != nullptr);
    if (!form)
        return;
    // From its first moment on screen it carries the title and the program's icon. The
    // icon cannot be asked for from outside the process under Wine (neither WM_GETICON nor
    // the class answers), so it is looked for where it shows: in the caption.
    CHECK_EQ(TextOf(form), Title());
    int small = GetSystemMetrics(SM_CXSMICON);
    HMODULE exe = LoadLibraryExA((dir + "\\" + kProgram).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto icon = static_cast<HICON>(LoadImageA(exe, "MAINICON", IMAGE_ICON, small, small, 0));
    CHECK(icon != nullptr);
    auto captionArea = [&] {
        RECT r = WindowRect(form);
        r.bottom = ClientRectOnScreen(form).top;
        return r;
    };
    CHECK(WaitUntil([&] { return ShowsIcon(captionArea(), icon, small); }, 5000));
    CHECK(!ShowsIcon(captionArea(), LoadIconA(nullptr, IDI_APPLICATION), small));
    DestroyIcon(icon);
    FreeLibrary(exe);

    Parts p = FindParts(form);
    CHECK(p.label && p.install && p.cancel);
    if (!p.label || !p.install || !p.cancel)
        return;
    CHECK(ReadyAtStart(p));

    // The one window a taskbar would show: visible, top-level, unowned, no tool window.
    // Wine runs here without a taskbar, so what one would list is all that is checked.
    std::vector<HWND> shown = TopLevelWindows(program.Id(), true);
    CHECK_EQ(shown.size(), 1u);
    CHECK(GetWindow(form, GW_OWNER) == nullptr);
    CHECK((ExStyleOf(form) & WS_EX_TOOLWINDOW) == 0);

    struct StyleBit {
        const char* name;
        DWORD bit;
        bool set;
    } styles[] = {
        {"WS_CAPTION", WS_CAPTION, true},         {"WS_SYSMENU", WS_SYSMENU, true},
        {"WS_MINIMIZEBOX", WS_MINIMIZEBOX, true}, {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX, false},
        {"WS_THICKFRAME", WS_THICKFRAME, false},  {"WS_POPUP", WS_POPUP, false},
    };
    for (const auto& s : styles)
        if (((static_cast<DWORD>(StyleOf(form)) & s.bit) == s.bit) != s.set)
            winetest::Fail(__FILE__, __LINE__, std::string(s.name) + (s.set ? " missing" : " set"));

    // Centred on the desktop.
    RECT frame = WindowRect(form);
    CHECK(std::abs(frame.left - (GetSystemMetrics(SM_CXSCREEN) - Width(frame)) / 2) <= 1);
    CHECK(std::abs(frame.top - (GetSystemMetrics(SM_CYSCREEN) - Height(frame)) / 2) <= 1);

    CheckLayout(p, 1, 1);
    CHECK_EQ(Children(form).size(), 3u);
    CHECK_EQ(TextOf(p.label), Instruction());
    CHECK((StyleOf(p.label) & SS_TYPEMASK) == SS_LEFTNOWORDWRAP);
    for (HWND button : {p.install, p.cancel}) {
        CHECK((StyleOf(button) & WS_TABSTOP) != 0);
        CHECK(IsWindowVisible(button) && IsWindowEnabled(button));
    }

    // Blue all over; the label white on blue, once it has been drawn.
    RECT label = WindowRect(p.label);
    CHECK(WaitUntil([&] { return CountPixels(label, RGB(255, 255, 255)) > 200; }, 5000));
    RECT client = ClientRectOnScreen(form);
    for (POINT at : {POINT{client.left + 2, client.top + 2}, POINT{client.right - 3, client.bottom - 3},
                     POINT{client.left + 2, client.bottom - 3}})
        CHECK_EQ(ScreenPixel(at), RGB(0, 0, 255));
    CHECK(CountPixels(label, RGB(0, 0, 255)) > CountPixels(label, RGB(255, 255, 255)));
    CHECK(SaveScreenBitmap(AroundOnScreen(frame, 12), Bitmap("window")));

    // The window menu offers neither Maximise nor Size; Esc closes it and nothing else.
    std::vector<MenuItem> menu = OpenWindowMenu(program, p);
    CHECK(FindItem(menu, SC_MAXIMIZE) == nullptr);
    CHECK(FindItem(menu, SC_SIZE) == nullptr);
    for (UINT id : {SC_MOVE, SC_MINIMIZE, SC_CLOSE})
        if (!FindItem(menu, id))
            winetest::Fail(__FILE__, __LINE__, "window menu item missing: " + std::to_string(id));
    // The first Esc closes the menu, the second leaves the menu mode.
    Press(VK_ESCAPE);
    CHECK(WaitUntil([&] { return FindVisible(program.Id(), "#32768") == nullptr; }));
    Press(VK_ESCAPE);
    CHECK(Barrier(program, p));
    CHECK(Barrier(program, p));

    // Neither the caption's double-click, nor the maximise command, nor a drag at the
    // frame changes the size.
    POINT caption = HitPoint(form, HTCAPTION);
    CHECK(caption.x >= 0);
    DoubleClick({Centre(frame).x, caption.y});
    CHECK(Barrier(program, p));
    CHECK(!IsZoomed(form));
    CHECK_EQ(Width(WindowRect(form)), Width(frame));
    CHECK_EQ(Height(WindowRect(form)), Height(frame));
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(form, WM_SYSCOMMAND, SC_MAXIMIZE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    CHECK(!IsZoomed(form));
    CHECK_EQ(Width(WindowRect(form)), Width(frame));
    for (POINT edge : {POINT{frame.right - 1, frame.bottom - 1}, POINT{frame.right - 1, Centre(frame).y},
                       POINT{Centre(frame).x, frame.bottom - 1}, POINT{frame.left, Centre(frame).y}}) {
        SendMessageTimeoutA(form, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y), SMTO_ABORTIFHUNG,
                            2000, &answer);
        CHECK(answer < HTSIZEFIRST || answer > HTSIZELAST);
    }
    RECT before = WindowRect(form);
    Drag({before.right - 1, before.bottom - 1}, {before.right + 60, before.bottom + 40});
    CHECK(Barrier(program, p));
    CHECK_EQ(RectText(WindowRect(form)), RectText(before));
    CHECK(NothingInstalled());
}

void FocusAndKeys() {
    std::printf("-- focus at start, Tab, Shift+Tab, arrows, Esc\n");
    std::string dir = FreshDistribution(kProgram);
    Program program;
    Parts p;
    if (!Launch(program, dir, kProgram, p) || !ReadyAtStart(p))
        return;
    struct Step {
        const char* keys;
        std::initializer_list<WORD> held;
        WORD key;
        HWND Parts::*focused;
    } steps[] = {
        {"Tab", {}, VK_TAB, &Parts::cancel},
        {"Tab from the last", {}, VK_TAB, &Parts::install},
        {"Shift+Tab from the first", {VK_SHIFT}, VK_TAB, &Parts::cancel},
        {"Shift+Tab", {VK_SHIFT}, VK_TAB, &Parts::install},
        {"Right", {}, VK_RIGHT, &Parts::cancel},
        {"Right from the last", {}, VK_RIGHT, &Parts::install},
        {"Down", {}, VK_DOWN, &Parts::cancel},
        {"Left", {}, VK_LEFT, &Parts::install},
        {"Up from the first", {}, VK_UP, &Parts::cancel},
        {"Up", {}, VK_UP, &Parts::install},
    };
    for (const auto& s : steps) {
        Chord(s.held, s.key);
        HWND expected = p.*s.focused;
        if (!WaitUntil([&] { return FocusedWithFrame(p, expected); }))
            winetest::Fail(__FILE__, __LINE__,
                           std::string(s.keys) + ": focus on " + Utf8(TextOf(FocusOf(p.form))));
    }
    // Esc on either button: the window stays and keeps taking keys.
    for (int i = 0; i < 2; ++i) {
        Press(VK_ESCAPE);
        CHECK(Barrier(program, p));
    }
    CHECK(IsWindowVisible(p.form));
    CHECK(NothingInstalled());
}

// Each way out without installing ends the program with exit code 0.
void WaysOut() {
    std::printf("-- cancel, close box, Alt+F4, window menu, close command, log-off\n");
    struct Way {
        const char* name;
        void (*act)(const Program&, const Parts&);
    } ways[] = {
        {"Tab, Enter",
         [](const Program&, const Parts& p) {
             Press(VK_TAB);
             CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));
             Press(VK_RETURN);
         }},
        {"Tab, Space",
         [](const Program&, const Parts& p) {
             Press(VK_TAB);
             CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));
             Press(VK_SPACE);
         }},
        {"click on the cancel button",
         [](const Program&, const Parts& p) { Click(Centre(WindowRect(p.cancel))); }},
        {"close box",
         [](const Program&, const Parts& p) {
             POINT box = HitPoint(p.form, HTCLOSE);
             CHECK(box.x >= 0);
             Click(box);
         }},
        {"Alt+F4", [](const Program&, const Parts&) { Chord({VK_MENU}, VK_F4); }},
        {"window menu, Close",
         [](const Program& program, const Parts& p) {
             std::vector<MenuItem> menu = OpenWindowMenu(program, p);
             const MenuItem* close = FindItem(menu, SC_CLOSE);
             CHECK(close != nullptr);
             if (close && Mnemonic(*close))
                 Press(Mnemonic(*close));
         }},
        // What a taskbar's close command sends; Wine runs here without a taskbar.
        {"WM_SYSCOMMAND SC_CLOSE",
         [](const Program&, const Parts& p) { PostMessageA(p.form, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // Log-off: the program agrees without asking, and ends when the logon ends.
        {"log-off",
         [](const Program&, const Parts& p) {
             DWORD_PTR agreed = 0;
             CHECK(SendMessageTimeoutA(p.form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                       SMTO_ABORTIFHUNG, 5000, &agreed));
             CHECK(agreed != 0);
             CHECK(IsWindowVisible(p.form) && IsWindowEnabled(p.form)); // nothing asked
             SendMessageTimeoutA(p.form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                 5000, nullptr);
         }},
    };
    for (const auto& way : ways) {
        std::printf("   %s\n", way.name);
        std::string dir = FreshDistribution(kProgram);
        Program program;
        Parts p;
        if (!Launch(program, dir, kProgram, p) || !ReadyAtStart(p))
            continue;
        way.act(program, p);
        EndsWithCode(program, 0);
        CHECK(NothingInstalled());
        CHECK(!ProcessRunning(kProgram));
    }
}

void MinimiseAndRestore() {
    std::printf("-- moved, minimised and restored: place and focus kept\n");
    std::string dir = FreshDistribution(kProgram);
    Program program;
    Parts p;
    if (!Launch(program, dir, kProgram, p) || !ReadyAtStart(p))
        return;
    Press(VK_TAB);
    CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));

    RECT start = WindowRect(p.form);
    POINT caption = HitPoint(p.form, HTCAPTION);
    CHECK(caption.x >= 0);
    POINT from = {Centre(start).x, caption.y};
    Drag(from, {from.x - 150, from.y - 100});
    CHECK(WaitUntil([&] { return WindowRect(p.form).left == start.left - 150; }));
    RECT moved = WindowRect(p.form);
    CHECK_EQ(moved.left, start.left - 150);
    CHECK_EQ(moved.top, start.top - 100);

    POINT minimise = HitPoint(p.form, HTMINBUTTON);
    CHECK(minimise.x >= 0);
    Click(minimise);
    CHECK(WaitUntil([&] { return IsIconic(p.form) != 0; }));
    // A taskbar button would restore it; Wine has none here, so the window gets the
    // command the button sends.
    PostMessageA(p.form, WM_SYSCOMMAND, SC_RESTORE, 0);
    // The minimised state ends a moment before the window is back in its place.
    WaitUntil([&] {
        RECT now = WindowRect(p.form);
        return !IsIconic(p.form) && EqualRect(&now, &moved);
    });
    CHECK(!IsIconic(p.form) && IsWindowVisible(p.form));
    CHECK_EQ(RectText(WindowRect(p.form)), RectText(moved));
    CHECK(BringToFront(p.form));
    CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));
    // The focus is really there: Enter clicks cancel.
    Press(VK_RETURN);
    EndsWithCode(program, 0);
    CHECK(NothingInstalled());
}

void SecondCopy() {
    std::printf("-- a second copy opens its own window\n");
    std::string dir = FreshDistribution(kProgram);
    Program first, second;
    Parts a, b;
    if (!Launch(first, dir, kProgram, a) || !Launch(second, dir, kProgram, b))
        return;
    CHECK(a.form != b.form);
    CHECK_EQ(TextOf(b.form), Title());
    CHECK_EQ(TopLevelWindows(first.Id(), true).size(), 1u);
    CHECK_EQ(TopLevelWindows(second.Id(), true).size(), 1u);
    // Closing one leaves the other.
    PostMessageA(b.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    EndsWithCode(second, 0);
    CHECK(first.Running());
    CHECK(IsWindowVisible(a.form));
    PostMessageA(a.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    EndsWithCode(first, 0);
}

// --- the install and its notices ------------------------------------------------------

enum class Pressed { Enter, Space, Click };
enum class Dismiss { ClickOk, Enter, Escape };

struct NoticeCase {
    const char* name;
    Pressed press;
    Dismiss dismiss;
    bool withScreenSaver;
    const char* screenshot;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

void CheckNotice(HWND notice, const Parts& p, const std::vector<std::string>& expected) {
    CHECK_EQ(ClassOf(notice), std::string("TMessageForm"));
    CHECK_EQ(TextOf(notice), Title());
    CHECK(GetWindow(notice, GW_OWNER) == p.form);
    CHECK(!IsWindowEnabled(p.form));
    HWND text = nullptr;
    int buttons = 0, icons = 0;
    for (HWND child : Children(notice)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Button") == 0) {
            ++buttons;
            CHECK_EQ(TextOf(child), std::string("OK"));
        } else if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) {
            if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON)
                ++icons;
            else
                text = child;
        }
    }
    CHECK_EQ(buttons, 1);
    CHECK_EQ(icons, 0);
    CHECK(text != nullptr);
    if (!text)
        return;
    std::vector<std::string> lines = Lines(TextOf(text));
    CHECK_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size() && i < expected.size(); ++i)
        CHECK_EQ(lines[i], expected[i]);
    // Each line on a line of its own.
    CHECK(Height(WindowRect(text)) >= static_cast<int>(expected.size()) * MessageLineHeight());
}

void InstallAndNotices() {
    std::printf("-- install: the button pressed, the notice read and dismissed\n");
    const std::vector<std::string> success = {
        Ansi(L"テルミカをインストールしました。"),
        Ansi(L"「コントロールパネル」－「画面」－「スクリーンセーバー」で"),
        Ansi(L"「テルミカ」を設定してください。"),
    };
    const std::vector<std::string> failure = {Ansi(L"テルミカのインストールに失敗しました。")};
    const NoticeCase cases[] = {
        {"Enter, OK clicked", Pressed::Enter, Dismiss::ClickOk, true, "notice-success"},
        {"Space, Enter", Pressed::Space, Dismiss::Enter, true, nullptr},
        {"click, Esc", Pressed::Click, Dismiss::Escape, true, nullptr},
        {"no screen saver: Enter, Enter", Pressed::Enter, Dismiss::Enter, false, "notice-failure"},
        {"no screen saver: click, OK clicked", Pressed::Click, Dismiss::ClickOk, false, nullptr},
        {"no screen saver: Space, Esc", Pressed::Space, Dismiss::Escape, false, nullptr},
    };
    for (const auto& c : cases) {
        std::printf("   %s\n", c.name);
        std::string dir = FreshDistribution(kProgram, c.withScreenSaver);
        Program program;
        Parts p;
        if (!Launch(program, dir, kProgram, p) || !ReadyAtStart(p))
            continue;
        switch (c.press) {
        case Pressed::Enter:
            Press(VK_RETURN);
            break;
        case Pressed::Space:
            Press(VK_SPACE);
            break;
        case Pressed::Click:
            Click(Centre(WindowRect(p.install)));
            break;
        }
        HWND notice = WaitVisible(program.Id(), "TMessageForm");
        CHECK(notice != nullptr);
        if (!notice)
            continue;
        CheckNotice(notice, p, c.withScreenSaver ? success : failure);
        // The files are in place before the notice; the read-me is opened only after it.
        if (c.withScreenSaver)
            CheckInstalled(dir);
        else
            CHECK(!Exists(InstalledScreenSaver()));
        CHECK(NothingOpened());
        CHECK(FindVisible(program.Id(), "TForm1") == p.form);
        if (c.screenshot) {
            // Photographed once its text has been drawn.
            HWND text = ChildOfClass(notice, "Static");
            CHECK(WaitUntil([&] { return CountPixels(WindowRect(text), RGB(0, 0, 0)) > 0; }));
            CHECK(SaveScreenBitmap(AroundOnScreen(WindowRect(notice), 12), Bitmap(c.screenshot)));
        }

        CHECK(BringToFront(notice));
        switch (c.dismiss) {
        case Dismiss::ClickOk:
            Click(Centre(WindowRect(ChildOfClass(notice, "Button"))));
            break;
        case Dismiss::Enter:
            Press(VK_RETURN);
            break;
        case Dismiss::Escape:
            Press(VK_ESCAPE);
            break;
        }
        if (c.withScreenSaver) {
            CHECK(WaitUntil([] { return Exists(kOpenedLog); }));
            std::string opened;
            CHECK(WaitUntil([&] { return winetest::ReadFileBytes(kOpenedLog, opened) && !opened.empty(); }));
            // The distribution's own read-me.
            CHECK_EQ(opened, "C:\\open_recorder.exe \"" + dir + "\\ReadMe.txt\"\r\n");
        }
        EndsWithCode(program, 0);
        if (!c.withScreenSaver)
            CHECK(NothingOpened());
    }
}

// --- errors -------------------------------------------------------------------------------

// The program's report of unexpected errors: a system message box captioned with the
// title, the error icon, the message and OK.
void CheckReport(HWND box, const std::string& message) {
    CHECK_EQ(ClassOf(box), std::string("#32770"));
    CHECK_EQ(TextOf(box), Title());
    bool icon = false, text = false;
    int buttons = 0;
    for (HWND child : Children(box)) {
        std::string cls = ClassOf(child);
        if (lstrcmpiA(cls.c_str(), "Static") == 0) {
            if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON)
                icon = true;
            else if (TextOf(child) == message)
                text = true;
        } else if (lstrcmpiA(cls.c_str(), "Button") == 0 && IsWindowVisible(child)) {
            ++buttons;
        }
    }
    CHECK(icon);
    CHECK(text);
    CHECK_EQ(buttons, 1);
    HWND iconStatic = nullptr;
    for (HWND child : Children(box))
        if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON && lstrcmpiA(ClassOf(child).c_str(), "Static") == 0)
            iconStatic = child;
    if (iconStatic)
        CHECK(WaitUntil([&] {
            return ShowsIcon(WindowRect(iconStatic), LoadIconA(nullptr, IDI_ERROR),
                             GetSystemMetrics(SM_CXICON));
        }, 5000));
}

void DismissWithEnter(const Program& program, HWND box) {
    CHECK(BringToFront(box));
    Press(VK_RETURN);
    CHECK(WaitUntil([&] { return FindVisible(program.Id(), "#32770") == nullptr; }));
}

void ErrorInHandler() {
    std::printf("-- an exception in the install handler is reported, the program goes on\n");
    std::string dir = FreshDistribution("TermikaSetUp_faulty.exe");
    SetEnvironmentVariableA("TERMIKA_FAULT", "CopyFileA");
    Program program;
    Parts p;
    bool launched = Launch(program, dir, "TermikaSetUp_faulty.exe", p);
    SetEnvironmentVariableA("TERMIKA_FAULT", nullptr);
    if (!launched || !ReadyAtStart(p))
        return;
    // Twice: the install button still works after the first report.
    for (int i = 0; i < 2; ++i) {
        Press(VK_RETURN);
        HWND box = WaitVisible(program.Id(), "#32770");
        CHECK(box != nullptr);
        if (!box)
            return;
        CheckReport(box, "Test fault in CopyFileA");
        CHECK(!IsWindowEnabled(p.form));
        CHECK(FindVisible(program.Id(), "TMessageForm") == nullptr);
        if (i == 0)
            CHECK(SaveScreenBitmap(AroundOnScreen(WindowRect(box), 12), Bitmap("error-report")));
        DismissWithEnter(program, box);
        CHECK(WaitUntil([&] { return IsWindowEnabled(p.form) != 0; }));
        CHECK(IsWindowVisible(p.form));
        CHECK(BringToFront(p.form));
        CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.install); }));
    }
    CHECK(!Exists(InstalledScreenSaver()));
    // And so does the cancel button.
    Press(VK_TAB);
    CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));
    Press(VK_RETURN);
    EndsWithCode(program, 0);
}

void ErrorInCreate() {
    std::printf("-- an exception in the creation handler: reported, the window shows unfinished\n");
    struct Row {
        const char* name;
        bool install;
    } rows[] = {{"then cancel", false}, {"then install", true}};
    for (const auto& row : rows) {
        std::printf("   %s\n", row.name);
        std::string dir = FreshDistribution("TermikaSetUp_faulty.exe");
        // Started elsewhere, so that without its folder the program finds nothing to copy.
        std::string elsewhere = dir + "\\empty";
        CreateDirectoryA(elsewhere.c_str(), nullptr);
        SetEnvironmentVariableA("TERMIKA_FAULT", "GetModuleFileNameA");
        Program program;
        bool started = Started(program, dir + "\\TermikaSetUp_faulty.exe", elsewhere);
        SetEnvironmentVariableA("TERMIKA_FAULT", nullptr);
        if (!started)
            continue;
        HWND box = WaitVisible(program.Id(), "#32770");
        CHECK(box != nullptr);
        if (!box)
            continue;
        CheckReport(box, "Test fault in GetModuleFileNameA");
        CHECK(FindVisible(program.Id(), "TForm1") == nullptr);
        DismissWithEnter(program, box);

        HWND form = WaitVisible(program.Id(), "TForm1");
        CHECK(form != nullptr);
        if (!form)
            continue;
        Parts p = FindParts(form);
        CHECK_EQ(TextOf(p.label), std::string("Label1"));
        if (!p.install || !p.cancel || !ReadyAtStart(p))
            continue;
        if (row.install) {
            Press(VK_RETURN);
            HWND notice = WaitVisible(program.Id(), "TMessageForm");
            CHECK(notice != nullptr);
            if (!notice)
                continue;
            CheckNotice(notice, p, {Ansi(L"テルミカのインストールに失敗しました。")});
            CHECK(BringToFront(notice));
            Press(VK_RETURN);
        } else {
            Press(VK_TAB);
            CHECK(WaitUntil([&] { return FocusedWithFrame(p, p.cancel); }));
            Press(VK_RETURN);
        }
        EndsWithCode(program, 0);
        CHECK(!Exists(InstalledScreenSaver()));
    }
}

void StartUpFailures() {
    std::printf("-- start-up failures: the last-resort box, exit code 1, no window\n");
    struct Row {
        const char* program;
        const char* exception;
    } rows[] = {
        {"TermikaSetUp_nolayout.exe", "EResNotFound"},
        {"TermikaSetUp_badlayout.exe", "EReadError"},
    };
    for (const auto& row : rows) {
        std::printf("   %s\n", row.program);
        std::string dir = FreshDistribution(row.program);
        Program program;
        if (!Started(program, dir + "\\" + row.program, dir))
            continue;
        bool windowShown = false;
        HWND box = nullptr;
        WaitUntil([&] {
            windowShown = windowShown || FindVisible(program.Id(), "TForm1") != nullptr;
            box = FindVisible(program.Id(), "#32770");
            return box != nullptr || !program.Running();
        });
        CHECK(box != nullptr);
        if (box) {
            HWND text = nullptr;
            for (HWND child : Children(box))
                if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 &&
                    (StyleOf(child) & SS_TYPEMASK) != SS_ICON)
                    text = child;
            std::string shown = text ? TextOf(text) : std::string();
            if (shown.find(row.exception) == std::string::npos)
                winetest::Fail(__FILE__, __LINE__, "the box names no " + std::string(row.exception) +
                                                       ": " + winetest::Printable(shown));
            // The exception's own message follows its name.
            size_t lineEnd = shown.find('\n');
            CHECK(lineEnd != std::string::npos && lineEnd + 1 < shown.size());
            DismissWithEnter(program, box);
        }
        DWORD code = 999;
        WaitUntil([&] {
            windowShown = windowShown || FindVisible(program.Id(), "TForm1") != nullptr;
            return !program.Running();
        });
        CHECK(program.WaitExit(1000, code));
        CHECK_EQ(code, 1u);
        CHECK(!windowShown);
    }
}

// --- screen density -------------------------------------------------------------------------

void LayoutAt120Dpi() {
    std::printf("-- the layout at 120 DPI\n");
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    CHECK_EQ(dpi, 120);
    // The window font at 120 DPI, and the height of "0" in it against the layout's 12.
    HFONT font = LayoutFont(MulDiv(-12, dpi, 96));
    int m = ZeroHeight(font);
    DeleteObject(font);
    CHECK(m > 12);

    std::string dir = FreshDistribution(kProgram);
    Program program;
    Parts p;
    if (!Launch(program, dir, kProgram, p) || !ReadyAtStart(p))
        return;
    CheckLayout(p, m, 12);
    // Larger than at 96 DPI, the label's text included.
    RECT client = {};
    GetClientRect(p.form, &client);
    CHECK(Width(client) > 337 && Height(client) > 122);
    HFONT font96 = LayoutFont(-16);
    SIZE text96 = TextSize(font96, Instruction());
    DeleteObject(font96);
    RECT label = RectInParent(p.label);
    CHECK(Width(label) > text96.cx && Height(label) > text96.cy);
    RECT button = RectInParent(p.install);
    CHECK(Width(button) > 81 && Height(button) > 33);
    CHECK(SaveScreenBitmap(AroundOnScreen(WindowRect(p.form), 12), Bitmap("window-120dpi")));
    PostMessageA(p.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    EndsWithCode(program, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::printf("usage: window_driver window|notices|faults|dpi SAMPLE WORK SHOTS BIN\n");
        return 100;
    }
    std::string group = argv[1];
    folders = {argv[2], argv[3], argv[4], argv[5]};
    CreateDirectoryA(folders.work.c_str(), nullptr);
    CreateDirectoryA(folders.shots.c_str(), nullptr);

    if (group == "window") {
        WindowLooks();
        FocusAndKeys();
        WaysOut();
        MinimiseAndRestore();
        SecondCopy();
    } else if (group == "notices") {
        InstallAndNotices();
    } else if (group == "faults") {
        ErrorInHandler();
        ErrorInCreate();
        StartUpFailures();
    } else if (group == "dpi") {
        LayoutAt120Dpi();
    } else {
        std::printf("unknown group %s\n", group.c_str());
        return 100;
    }
    CleanInstall();
    return winetest::Finish(("window_driver " + group).c_str());
}
