#include "toolkit/MessageForm.h"

#include "base/Exception.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kTextId = 100;

} // namespace

TMessageForm::TMessageForm(const Text& text) : text_(WithLineBreaks(text)) {}

TMessageForm::~TMessageForm() {
    if (window_)
        DestroyWindow(window_);
    if (font_)
        DeleteObject(font_);
}

LRESULT CALLBACK TMessageForm::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TMessageForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        // OK, Enter (IDOK) and Esc (IDCANCEL) all dismiss the notice.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            self->done_ = true;
            return 0;
        }
        break;
    case WM_CLOSE:
        self->done_ = true;
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TMessageForm::Create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kClassName, &wc)) {
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        if (!RegisterClassA(&wc))
            throw EOutOfResources("Cannot register the notice's window class");
    }

    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        // Systems before Vista know the structure without its last member.
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    font_ = CreateFontIndirectA(&metrics.lfMessageFont);
    if (!font_)
        font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // Measure the text in the notice's font.
    RECT textRect = {0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    DrawTextA(dc, text_.CStr(), static_cast<int>(text_.Length()), &textRect,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int textWidth = textRect.right - textRect.left;
    int textHeight = textRect.bottom - textRect.top;

    int clientWidth = 2 * kMargin + (textWidth > kButtonWidth ? textWidth : kButtonWidth);
    int clientHeight = 2 * kMargin + textHeight + kMargin + kButtonHeight;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    HWND owner = GetActiveWindow();
    window_ = CreateWindowExA(exStyle, kClassName, Application->Title().CStr(), style, left, top,
                              width, height, owner, nullptr, instance, this);
    if (!window_)
        throw EOutOfResources("Cannot create the notice");
    // A notice has no icon of its own and no entry in the window menu for resizing.
    HWND label = CreateWindowExA(0, "STATIC", text_.CStr(), WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                                 kMargin, kMargin, textWidth, textHeight, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)),
                                 instance, nullptr);
    HWND button = CreateWindowExA(
        0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        (clientWidth - kButtonWidth) / 2, clientHeight - kMargin - kButtonHeight, kButtonWidth,
        kButtonHeight, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance,
        nullptr);
    if (!label || !button)
        throw EOutOfResources("Cannot create the notice");
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void TMessageForm::ShowModal() {
    Create();
    HWND previous = GetActiveWindow();
    bool quit = false;
    int quitCode = 0;
    {
        // Like a modal dialog of the system's: every other window of the program is
        // disabled while the notice is up.
        TaskWindowsDisabled disabled(window_);
        ShowWindow(window_, SW_SHOWNORMAL);
        SetFocus(GetDlgItem(window_, IDOK));

        MSG msg;
        while (!done_) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) { // a quit request ends the notice and goes on to the caller's loop
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                break;
            }
            if (got == -1)
                break;
            if (!IsDialogMessageA(window_, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    if (previous && IsWindow(previous))
        SetActiveWindow(previous);
    DestroyWindow(window_);
    window_ = nullptr;
    if (quit)
        PostQuitMessage(quitCode);
}

void ShowNotice(const Text& text) {
    TMessageForm form(text);
    form.ShowModal();
}
