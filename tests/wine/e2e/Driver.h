// What the end-to-end tests work the installer with from outside its process: starting
// it, finding its windows, reading them back, real keystrokes and clicks, the screen, and
// the files an install leaves.
#pragma once

#include "sys/Win.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A started program. Still running when the object goes, it is ended then.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const std::string& exe, const std::string& folder);
    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const;
    // True when the program ended within timeoutMs; its exit code in code.
    bool WaitExit(DWORD timeoutMs, DWORD& code);
    void Kill();

private:
    PROCESS_INFORMATION info_ = {};
};

// Polls every 20 ms until done() holds or timeoutMs has passed; the last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// --- windows -------------------------------------------------------------------------

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);
// The top-level windows of a process, in z-order.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);
// The visible top-level window of a process with that class, or null.
HWND FindVisible(DWORD processId, const char* className);
HWND WaitVisible(DWORD processId, const char* className, DWORD timeoutMs = 15000);
std::vector<HWND> Children(HWND parent);
// The index-th child of a class (0 is the first in z-order), or null.
HWND ChildOfClass(HWND parent, const char* className, int index = 0);
RECT WindowRect(HWND window);
RECT ClientRectOnScreen(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
int Width(const RECT& r);
int Height(const RECT& r);
POINT Centre(const RECT& r);
// The focused window of the thread that owns the window.
HWND FocusOf(HWND window);
// Makes the window the foreground one, as input needs; true when it is.
bool BringToFront(HWND window);
// A point of the window whose hit test answers the code (HTCAPTION, HTCLOSE, ...), found
// by asking the window itself; {-1, -1} when there is none.
POINT HitPoint(HWND window, LRESULT code);

// --- input, through the system's input queue ------------------------------------------

void Press(WORD key);
// A key with modifiers held, e.g. Chord({VK_MENU}, VK_F4).
void Chord(std::initializer_list<WORD> held, WORD key);
bool MoveMouse(POINT at);
void Click(POINT at);
void DoubleClick(POINT at);
// Left button down at from, moved in steps to to, released there.
void Drag(POINT from, POINT to);

// --- the screen ------------------------------------------------------------------------

// Pixels, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

COLORREF ScreenPixel(POINT at);
// The rectangle grown by margin on every side and cut to the screen.
RECT AroundOnScreen(const RECT& r, int margin);
bool GrabScreen(const RECT& area, Picture& picture);
// The screen's pixels in the rectangle as a 24-bit bitmap file.
bool SaveScreenBitmap(const RECT& area, const std::string& path);
// Counts the pixels of a colour inside a screen rectangle.
int CountPixels(const RECT& area, COLORREF color);
// Whether the icon, drawn at size x size, shows somewhere inside the screen rectangle:
// every pixel it does not leave transparent, at one place.
bool ShowsIcon(const RECT& area, HICON icon, int size);

// --- files and processes -----------------------------------------------------------------

bool Exists(const std::string& path);
bool CopyTree(const std::string& from, const std::string& to);
void RemoveTree(const std::string& path);
// Whether a process with that executable name (no folder) is running.
bool ProcessRunning(const char* exeName);

} // namespace e2e
