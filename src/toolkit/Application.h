// TApplication: the one application object. It holds the title and the program icon,
// owns the forms, runs the event loop, and reports the errors no handler dealt with.
#pragma once

#include "base/Exception.h"
#include "base/Text.h"
#include "sys/Win.h"
#include "toolkit/Component.h"

#include <new>

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    const char* ClassName() const override { return "TApplication"; }

    void Initialize() {}
    const Text& Title() const { return title_; }
    void SetTitle(const Text& title) { title_ = title; }
    HICON Icon() const { return icon_; }
    TForm* MainForm() const { return mainForm_; }
    bool Terminated() const { return terminated_; }

    // Makes a form owned by the application; ref refers to it before its layout is read.
    // The first form made becomes the main window.
    template <typename T> void CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        form->Create();
        if (!mainForm_)
            mainForm_ = form;
    }

    // Shows the main window and handles messages until the program is asked to end.
    void Run();
    // One guarded pass of the event loop: a message, or the wait for one.
    void HandleMessage();
    // Asks the event loop to end, after the messages already waiting.
    void Terminate() { PostQuitMessage(0); }
    // The logon is ending: the event loop stops after the current message.
    void EndSession() { terminated_ = true; }

    // The report of unexpected errors: the message in a system message box captioned
    // with the title, while every window of the program is disabled.
    void HandleException(const Exception& e);
    void HandleException(const char* message);
    // The end-of-run clean-up: every window hidden, every owned component destroyed.
    void Done();

private:
    bool ProcessMessage(MSG& msg);
    bool IsKeyMessage(const MSG& msg);

    Text title_;
    HICON icon_ = nullptr;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
};

// The application object of the process, while the program runs.
extern TApplication* Application;

// Runs a handler under the error guard: whatever it throws is reported, and the program
// goes on.
template <typename F> void Guarded(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        Application->HandleException(e);
    } catch (const std::bad_alloc&) {
        Application->HandleException("Out of memory");
    } catch (...) {
        Application->HandleException("Unexpected error");
    }
}

// Disables the visible, enabled top-level windows of the thread while a modal window is
// up, and enables them again afterwards.
class TaskWindowsDisabled {
public:
    explicit TaskWindowsDisabled(HWND except = nullptr);
    ~TaskWindowsDisabled();
    TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
    TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM param);
    HWND except_;
    HWND windows_[32];
    int count_ = 0;
};

// The program's run: the modules' start steps, the main block under the last-resort
// guard, the end of the run and the modules' end steps in reverse. Gives the exit code:
// 0, or 1 when an error escaped the main block.
struct UnitSteps {
    void (*initialization)();
    void (*finalization)();
};
int RunProgram(void (*mainBlock)(), const UnitSteps* units, int unitCount);
