// A library planted beside the installer under the name of one that is loaded on demand.
// Loading it leaves a marker file, which is all it does.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        HANDLE marker = CreateFileA("C:\\planted-dll-loaded.txt", FILE_APPEND_DATA, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, 0, nullptr);
        if (marker != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(marker, path, lstrlenA(path), &written, nullptr);
            WriteFile(marker, "\r\n", 2, &written, nullptr);
            CloseHandle(marker);
        }
    }
    return TRUE;
}
