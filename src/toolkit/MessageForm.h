// TMessageForm: the program's notice. A modal dialog captioned with the application
// title that shows a text, one line per carriage return, and one OK button that Enter
// and Esc press as well. No icon, no sound.
#pragma once

#include "base/Text.h"
#include "sys/Win.h"

class TMessageForm {
public:
    static constexpr char kClassName[] = "TMessageForm";

    explicit TMessageForm(const Text& text);
    ~TMessageForm();
    TMessageForm(const TMessageForm&) = delete;
    TMessageForm& operator=(const TMessageForm&) = delete;

    // Shows the notice and returns once it has been dismissed.
    void ShowModal();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Create();

    Text text_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    bool done_ = false;
};

// Shows text in a TMessageForm and waits until it is dismissed.
void ShowNotice(const Text& text);
