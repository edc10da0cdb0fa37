// TApplication: the one application object, holding the title that every window and
// message of the program is captioned with.
#pragma once

#include "base/Text.h"

class TApplication {
public:
    const Text& Title() const { return title_; }
    void SetTitle(const Text& title) { title_ = title; }

private:
    Text title_;
};

// The application object of the process.
extern TApplication* Application;
