#include "toolkit/Application.h"

#include "sys/DllSearch.h"
#include "toolkit/Forms.h"

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) {
    icon_ = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
}

TApplication::~TApplication() { DestroyOwned(); }

void TApplication::Run() {
    running_ = true;
    if (mainForm_)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::HandleMessage() {
    Guarded([this] {
        MSG msg;
        if (!ProcessMessage(msg) && !terminated_)
            WaitMessage(); // nothing to do until the next message arrives
    });
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (!IsKeyMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool TApplication::IsKeyMessage(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    for (TComponent* c = FirstOwned(); c; c = c->NextSibling()) {
        auto* form = static_cast<TForm*>(c);
        HWND window = form->Handle();
        if (window && (msg.hwnd == window || IsChild(window, msg.hwnd)))
            return form->DialogKey(msg.wParam);
    }
    return false;
}

void TApplication::HandleException(const Exception& e) { HandleException(e.Message().CStr()); }

void TApplication::HandleException(const char* message) {
    if (GetCapture())
        ReleaseCapture();
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    {
        TaskWindowsDisabled disabled;
        MessageBoxA(active, message, title_.CStr(), MB_OK | MB_ICONERROR);
    }
    if (active && IsWindow(active))
        SetActiveWindow(active);
    if (focus && IsWindow(focus))
        SetFocus(focus);
}

void TApplication::Done() {
    if (!running_)
        return;
    running_ = false;
    for (TComponent* c = FirstOwned(); c; c = c->NextSibling())
        static_cast<TForm*>(c)->Hide();
    DestroyOwned();
    mainForm_ = nullptr;
}

TaskWindowsDisabled::TaskWindowsDisabled(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this));
}

TaskWindowsDisabled::~TaskWindowsDisabled() {
    while (count_ > 0)
        EnableWindow(windows_[--count_], TRUE);
}

BOOL CALLBACK TaskWindowsDisabled::Disable(HWND window, LPARAM param) {
    auto* self = reinterpret_cast<TaskWindowsDisabled*>(param);
    if (window != self->except_ && self->count_ < 32 && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        self->windows_[self->count_++] = window;
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

namespace {

// The run time's last word on an error that escaped the main block.
void ShowLastResort(const char* className, const char* message) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof(module));
    const char* file = module;
    for (const char* p = CharNextA(module); *p; p = CharNextA(p))
        if (*p == '\\')
            file = p + 1;
    Text text = Text("Exception ") + className + " in module " + file + ".\r\n" + message;
    MessageBoxA(nullptr, text.CStr(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace

int RunProgram(void (*mainBlock)(), const UnitSteps* units, int unitCount) {
    RestrictDllSearch();
    int exitCode = 0;
    TApplication application;
    Application = &application;
    for (int i = 0; i < unitCount; ++i)
        if (units[i].initialization)
            units[i].initialization();
    try {
        mainBlock();
    } catch (const Exception& e) {
        ShowLastResort(e.ClassName(), e.Message().CStr());
        exitCode = 1;
    } catch (const std::bad_alloc&) {
        ShowLastResort("EOutOfMemory", "Out of memory");
        exitCode = 1;
    }
    application.Done();
    for (int i = unitCount; i-- > 0;)
        if (units[i].finalization)
            units[i].finalization();
    Application = nullptr;
    return exitCode;
}

// The C++ run time's default terminate handler names the exception with its demangler,
// which alone would double the size of the program. Every exception is caught long
// before, so ending here means something is badly wrong: end without a word.
namespace __gnu_cxx {
// Replacing the run time's own function is the point, so its reserved name is meant.
void __verbose_terminate_handler() { ExitProcess(3); } // NOLINT(bugprone-reserved-identifier)
} // namespace __gnu_cxx
