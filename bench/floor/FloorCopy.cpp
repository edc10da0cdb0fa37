// The system's own copy, with nothing around it: the five CopyFileA calls the installer
// makes, from the folder of this program into the Windows folder. Writes to standard
// output how long the five calls took, measured inside the program, in microseconds:
//   calls <us> failed <n>
#include <windows.h>

#include <cstdio>

namespace {

// テルミカ.scr in code page 932.
constexpr char kScreenSaver[] = "\203e\203\213\203~\203J.scr";

struct Item {
    const char* from; // under the program's folder
    const char* to;   // under the Windows folder
};

const Item kItems[] = {
    {"TermikaData\\Haikei0.jpg", "TermikaData\\Haikei0.jpg"},
    {"TermikaData\\Haikei1.jpg", "TermikaData\\Haikei1.jpg"},
    {"TermikaData\\Haikei2.jpg", "TermikaData\\Haikei2.jpg"},
    {"ReadMe.txt", "TermikaData\\ReadMe.txt"},
    {kScreenSaver, kScreenSaver},
};
constexpr int kItemCount = sizeof(kItems) / sizeof(kItems[0]);

void Say(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    char* name = folder; // just past the last separator; trail bytes may look like one
    for (char* p = folder; *p; p = CharNextA(p))
        if (*p == '\\')
            name = p + 1;
    *name = '\0';
    char windows[MAX_PATH] = {};
    length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;

    char from[kItemCount][2 * MAX_PATH];
    char to[kItemCount][2 * MAX_PATH];
    for (int i = 0; i < kItemCount; ++i) {
        std::snprintf(from[i], sizeof(from[i]), "%s%s", folder, kItems[i].from);
        std::snprintf(to[i], sizeof(to[i]), "%s\\%s", windows, kItems[i].to);
    }
    char data[2 * MAX_PATH];
    std::snprintf(data, sizeof(data), "%s\\TermikaData", windows);
    CreateDirectoryA(data, nullptr);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int failed = 0;
    for (int i = 0; i < kItemCount; ++i)
        if (!CopyFileA(from[i], to[i], FALSE))
            ++failed;
    QueryPerformanceCounter(&end);

    double us = 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    char line[64];
    std::snprintf(line, sizeof(line), "calls %lu failed %d\n", static_cast<unsigned long>(us),
                  failed);
    Say(line);
    return failed == 0 ? 0 : 1;
}
