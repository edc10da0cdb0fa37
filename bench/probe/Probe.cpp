// Starts the benchmark's Windows programs and times, from outside, what a user waits for.
//
//   probe startup ROUNDS LABEL:CLASS:PATH...
//       Starts each program in turn (one warm-up start each first), ROUNDS times, the
//       order reversed every other round; for each start prints
//         startup LABEL <ms to a visible window of CLASS> <ms until it answers messages>
//       and closes the window as its close box would.
//   probe install CLASS NOTICE_CLASS PATH
//       Starts the installer, waits for its window, presses Enter on the focused control
//       and prints  install <ms from the key to a visible NOTICE_CLASS window>,
//       then dismisses the notice and waits for the program to end.
//   probe run PATH [CLASS]
//       Runs a program to its end with this console; prints  process <ms> exit <code>.
//       With CLASS, it meanwhile looks for a window of that class as install does, so
//       both share the machine with the same polling.
//   probe desktop
//       Stays attached to the desktop until ended, as a user's session keeps it up.
//   probe close CLASS
//       Closes every visible top-level window of CLASS and waits for its program to end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LARGE_INTEGER frequency;

double Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Child {
    PROCESS_INFORMATION info = {};
    double started = 0;
};

// Starts a program in its own folder, as opening it from the file manager would.
bool Start(const char* path, Child& child, bool withConsole) {
    char folder[MAX_PATH] = {};
    lstrcpynA(folder, path, MAX_PATH);
    char* separator = nullptr;
    for (char* p = folder; *p; p = CharNextA(p))
        if (*p == '\\')
            separator = p;
    if (separator)
        separator[separator == folder + 2 ? 1 : 0] = '\0'; // "C:\" keeps its separator
    char commandLine[2 * MAX_PATH];
    std::snprintf(commandLine, sizeof(commandLine), "\"%s\"", path);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (withConsole) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    child.started = Now();
    if (!CreateProcessA(path, commandLine, nullptr, nullptr, withConsole, 0, nullptr,
                        separator ? folder : nullptr, &startup, &child.info)) {
        std::fprintf(stderr, "probe: cannot start %s (error %lu)\n", path, GetLastError());
        return false;
    }
    return true;
}

bool Ended(const Child& child) {
    return WaitForSingleObject(child.info.hProcess, 0) == WAIT_OBJECT_0;
}

HWND FindVisible(DWORD processId, const char* className) {
    for (HWND w = FindWindowExA(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExA(nullptr, w, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Polls for the window; null when the program ended or the deadline passed first.
HWND WaitVisible(const Child& child, const char* className, DWORD pollMs, double deadline) {
    for (;;) {
        if (HWND w = FindVisible(child.info.dwProcessId, className))
            return w;
        if (Ended(child) || Now() > deadline)
            return nullptr;
        Sleep(pollMs);
    }
}

// Waits until the window's thread takes messages again, i.e. its message loop runs.
bool WaitAnswers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

void WaitEnd(Child& child, DWORD timeoutMs) {
    if (WaitForSingleObject(child.info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "probe: the program did not end; terminating it\n");
        TerminateProcess(child.info.hProcess, 255);
        WaitForSingleObject(child.info.hProcess, 5000);
    }
    CloseHandle(child.info.hThread);
    CloseHandle(child.info.hProcess);
    child.info = {};
}

struct Program {
    const char* label;
    const char* className;
    const char* path;
};

bool ParseProgram(char* text, Program& program) {
    char* first = std::strchr(text, ':');
    char* second = first ? std::strchr(first + 1, ':') : nullptr;
    if (!second)
        return false;
    *first = *second = '\0';
    program = {text, first + 1, second + 1};
    return true;
}

bool TimeStart(const Program& program, bool report) {
    Child child;
    if (!Start(program.path, child, false))
        return false;
    HWND window = WaitVisible(child, program.className, 1, child.started + 120000);
    double visible = Now() - child.started;
    bool answers = window && WaitAnswers(window);
    double ready = Now() - child.started;
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    WaitEnd(child, 30000);
    if (!answers) {
        std::fprintf(stderr, "probe: %s showed no window of class %s\n", program.path,
                     program.className);
        return false;
    }
    if (report)
        std::printf("startup %s %.1f %.1f\n", program.label, visible, ready);
    std::fflush(stdout);
    Sleep(200); // lets the ended process's windows and server state go before the next
    return true;
}

int Startup(int argc, char** argv) {
    if (argc < 4)
        return 2;
    int rounds = std::atoi(argv[2]);
    int count = argc - 3;
    Program programs[8];
    if (count > 8)
        return 2;
    for (int i = 0; i < count; ++i)
        if (!ParseProgram(argv[3 + i], programs[i]))
            return 2;
    for (int i = 0; i < count; ++i)
        if (!TimeStart(programs[i], false))
            return 1;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < count; ++k) {
            int i = round % 2 == 0 ? k : count - 1 - k;
            if (!TimeStart(programs[i], true))
                return 1;
        }
    }
    return 0;
}

int Install(const char* className, const char* noticeClass, const char* path) {
    Child child;
    if (!Start(path, child, false))
        return 1;
    HWND window = WaitVisible(child, className, 1, child.started + 120000);
    if (!window || !WaitAnswers(window)) {
        std::fprintf(stderr, "probe: no window of class %s\n", className);
        WaitEnd(child, 0);
        return 1;
    }
    Sleep(500); // the start-up is over, as it is when a user gets to press a key
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    HWND focus = GetGUIThreadInfo(child.info.dwThreadId, &gui) && gui.hwndFocus ? gui.hwndFocus
                                                                                 : window;
    char focusClass[64] = {};
    GetClassNameA(focus, focusClass, sizeof(focusClass));

    double pressed = Now();
    PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    HWND notice = WaitVisible(child, noticeClass, 2, pressed + 1800000);
    double shown = Now();
    if (!notice) {
        std::fprintf(stderr, "probe: no notice after Enter on the %s\n", focusClass);
        WaitEnd(child, 0);
        return 1;
    }
    std::printf("install %.1f focus %s\n", shown - pressed, focusClass);
    std::fflush(stdout);
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    WaitEnd(child, 60000);
    return 0;
}

int Run(const char* path, const char* pollClass) {
    Child child;
    if (!Start(path, child, true))
        return 1;
    if (pollClass)
        WaitVisible(child, pollClass, 2, child.started + 1800000);
    WaitForSingleObject(child.info.hProcess, INFINITE);
    double took = Now() - child.started;
    DWORD code = 0;
    GetExitCodeProcess(child.info.hProcess, &code);
    std::printf("process %.1f exit %lu\n", took, code);
    WaitEnd(child, 0);
    return 0;
}

int Close(const char* className) {
    int closed = 0;
    while (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process) {
            if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0)
                TerminateProcess(process, 255);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        if (++closed > 16)
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QueryPerformanceFrequency(&frequency);
    if (argc >= 2 && std::strcmp(argv[1], "startup") == 0)
        return Startup(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "install") == 0)
        return Install(argv[2], argv[3], argv[4]);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "run") == 0)
        return Run(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 2 && std::strcmp(argv[1], "desktop") == 0) {
        GetDesktopWindow();
        Sleep(INFINITE);
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        return Close(argv[2]);
    std::fprintf(stderr, "usage: probe startup|install|run|close ...\n");
    return 2;
}
