#include "Driver.h"

#include "../WineTest.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstring>

namespace e2e {

Program::~Program() {
    Kill();
    if (info_.hProcess)
        CloseHandle(info_.hProcess);
    if (info_.hThread)
        CloseHandle(info_.hThread);
}

bool Program::Start(const std::string& exe, const std::string& folder) {
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info_) != 0;
}

bool Program::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitExit(DWORD timeoutMs, DWORD& code) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(info_.hProcess, &code) != 0;
}

void Program::Kill() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 255);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return done();
        Sleep(20);
    }
}

// --- windows -------------------------------------------------------------------------

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

LONG StyleOf(HWND window) { return GetWindowLongA(window, GWL_STYLE); }
LONG ExStyleOf(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE); }

namespace {

struct TopLevelSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK AddTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK AddChild(HWND window, LPARAM param) {
    auto* children = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(param);
    if (GetParent(window) == children->first)
        children->second.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly) {
    TopLevelSearch search{processId, visibleOnly, {}};
    EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindVisible(DWORD processId, const char* className) {
    for (HWND window : TopLevelWindows(processId, true))
        if (ClassOf(window) == className)
            return window;
    return nullptr;
}

HWND WaitVisible(DWORD processId, const char* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindVisible(processId, className)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<HWND> Children(HWND parent) {
    std::pair<HWND, std::vector<HWND>> children{parent, {}};
    EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&children));
    return children.second;
}

HWND ChildOfClass(HWND parent, const char* className, int index) {
    for (HWND child : Children(parent))
        if (lstrcmpiA(ClassOf(child).c_str(), className) == 0 && index-- == 0)
            return child;
    return nullptr;
}

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientRectOnScreen(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT RectInParent(HWND child) {
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool BringToFront(HWND window) {
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

POINT HitPoint(HWND window, LRESULT code) {
    RECT r = WindowRect(window);
    // The non-client parts of a window lie along its top and edges: rows first, from the
    // top, each from the right.
    for (int y = r.top; y < r.bottom; y += 2)
        for (int x = r.right - 1; x >= r.left; x -= 2) {
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG,
                                    2000, &answer) &&
                static_cast<LRESULT>(answer) == code)
                return {x, y};
        }
    return {-1, -1};
}

// --- input -----------------------------------------------------------------------------

namespace {

void SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof(input));
}

void SendButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void KeyDown(WORD key) { SendKey(key, false); }
void KeyUp(WORD key) { SendKey(key, true); }

} // namespace

void Press(WORD key) {
    KeyDown(key);
    KeyUp(key);
}

void Chord(std::initializer_list<WORD> held, WORD key) {
    for (WORD k : held)
        KeyDown(k);
    Press(key);
    for (auto k = held.end(); k != held.begin();)
        KeyUp(*--k);
}

bool MoveMouse(POINT at) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Normalised so that the rounding lands on the pixel itself.
    input.mi.dx = static_cast<LONG>((static_cast<int64_t>(at.x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<int64_t>(at.y) * 65536 + height - 1) / height);
    SendInput(1, &input, sizeof(input));
    return WaitUntil(
        [&] {
            POINT now = {};
            GetCursorPos(&now);
            return now.x == at.x && now.y == at.y;
        },
        2000);
}

void Click(POINT at) {
    MoveMouse(at);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
}

void DoubleClick(POINT at) {
    MoveMouse(at);
    for (int i = 0; i < 2; ++i) {
        SendButton(MOUSEEVENTF_LEFTDOWN);
        SendButton(MOUSEEVENTF_LEFTUP);
    }
}

void Drag(POINT from, POINT to) {
    MoveMouse(from);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        MoveMouse({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        Sleep(20);
    }
    SendButton(MOUSEEVENTF_LEFTUP);
}

// --- the screen ------------------------------------------------------------------------

COLORREF ScreenPixel(POINT at) {
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return color;
}

RECT AroundOnScreen(const RECT& r, int margin) {
    RECT out = {r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&out, &out, &screen);
    return out;
}

namespace {

// The pixels of a memory bitmap, as a picture.
bool ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height, Picture& picture) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height; // top row first
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), quads.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != height)
        return false;
    picture.width = width;
    picture.height = height;
    picture.pixels.clear();
    for (const RGBQUAD& q : quads)
        picture.pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return true;
}

// The icon drawn here on a plain background.
bool DrawnIcon(HICON icon, int size, COLORREF background, Picture& picture) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    bool ok = DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != 0;
    SelectObject(memory, old);
    ok = ok && ReadBitmap(memory, bitmap, size, size, picture);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace

bool GrabScreen(const RECT& area, Picture& picture) {
    int width = Width(area), height = Height(area);
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
    SelectObject(memory, old);
    ok = ok && ReadBitmap(memory, bitmap, width, height, picture);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveScreenBitmap(const RECT& area, const std::string& path) {
    Picture picture;
    if (!GrabScreen(area, picture))
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = picture.height; // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~static_cast<size_t>(3);
    std::string rows(stride * static_cast<size_t>(picture.height), '\0');
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            COLORREF c = picture.At(x, y);
            char* p = &rows[static_cast<size_t>(picture.height - 1 - y) * stride +
                            static_cast<size_t>(x) * 3];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes += rows;
    return winetest::WriteFileBytes(path, bytes);
}

int CountPixels(const RECT& area, COLORREF color) {
    Picture picture;
    if (!GrabScreen(area, picture))
        return 0;
    int count = 0;
    for (COLORREF c : picture.pixels)
        if (c == color)
            ++count;
    return count;
}

bool ShowsIcon(const RECT& area, HICON icon, int size) {
    // Drawn on black and on white: the pixels that come out the same are the icon's own.
    Picture onBlack, onWhite, screen;
    if (!DrawnIcon(icon, size, RGB(0, 0, 0), onBlack) ||
        !DrawnIcon(icon, size, RGB(255, 255, 255), onWhite) || !GrabScreen(area, screen))
        return false;
    std::vector<std::pair<POINT, COLORREF>> opaque;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (onBlack.At(x, y) == onWhite.At(x, y))
                opaque.push_back({{x, y}, onBlack.At(x, y)});
    if (opaque.empty())
        return false;
    for (int top = 0; top + size <= screen.height; ++top)
        for (int left = 0; left + size <= screen.width; ++left) {
            bool all = true;
            for (const auto& p : opaque)
                if (screen.At(left + p.first.x, top + p.first.y) != p.second) {
                    all = false;
                    break;
                }
            if (all)
                return true;
        }
    return false;
}

// --- files and processes -----------------------------------------------------------------

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + "\\" + name, to + "\\" + name) && ok;
        else
            ok = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return ok;
}

void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

bool ProcessRunning(const char* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

} // namespace e2e
