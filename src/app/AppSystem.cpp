#include "app/AppSystem.h"

#include "app/Unit1.h"
#include "sys/WinSystem.h"

namespace {
void CloseForm1(void*) { Form1->Close(); }
} // namespace

sys::System& AppSystem() {
    static sys::WinSystem system(CloseForm1, nullptr);
    return system;
}
