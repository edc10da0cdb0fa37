// The least a Win32 program does to show what the installer shows at start: one window
// with a 337x122 client area and two buttons, the first one focused. The benchmark
// compares the installer's start-up, idle processor time and memory with this.
#include <windows.h>

namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 122;
constexpr char kClassName[] = "FloorForm";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeButton(HWND parent, HINSTANCE instance, const char* caption, int left, int id) {
    return CreateWindowA("BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, left, 72, 81, 33,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;

    DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowA(kClassName, "Floor", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
    if (!window)
        return 1;
    HWND first = MakeButton(window, instance, "Install", 48, 1);
    MakeButton(window, instance, "Cancel", 160, 2);

    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(first);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
