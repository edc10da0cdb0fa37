// Loaded into the installer by a thread hook: when the window menu is about to open, it
// writes the menu's items to C:\sysmenu.log, one a line as "id state text". The menu of
// another process cannot be read from outside it.
#include "sys/Win.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuSpyHook(int code, WPARAM wParam,
                                                               LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && HIWORD(call->lParam)) {
        HMENU menu = reinterpret_cast<HMENU>(call->wParam);
        HANDLE log = CreateFileA("C:\\sysmenu.log", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, 0, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            int count = GetMenuItemCount(menu);
            for (int i = 0; i < count; ++i) {
                char text[256] = {};
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
                char line[320];
                int n = wsprintfA(line, "%u %u %s\r\n", GetMenuItemID(menu, i),
                                  GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION), text);
                DWORD written = 0;
                WriteFile(log, line, static_cast<DWORD>(n), &written, nullptr);
            }
            CloseHandle(log);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
