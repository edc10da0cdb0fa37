// The installer's system for the test build TermikaSetUp_faulty: the real one, except
// that the call TERMIKA_FAULT names (CopyFileA or GetModuleFileNameA) throws, so the
// tests can see what the program does with an error in a handler.
#include "app/AppSystem.h"

#include "app/Unit1.h"
#include "base/Exception.h"
#include "sys/WinSystem.h"

#include <cstdlib>
#include <cstring>

namespace {

void CloseForm1(void*) { Form1->Close(); }

bool Faulty(const char* call) {
    const char* fault = std::getenv("TERMIKA_FAULT");
    return fault && std::strcmp(fault, call) == 0;
}

class FaultySystem : public sys::WinSystem {
public:
    using WinSystem::WinSystem;

    uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override {
        if (Faulty("GetModuleFileNameA"))
            throw EOutOfResources("Test fault in GetModuleFileNameA");
        return WinSystem::GetModuleFileNameA(buffer, size);
    }

    int CopyFileA(const char* source, const char* destination, int failIfExists) override {
        if (Faulty("CopyFileA"))
            throw EOutOfResources("Test fault in CopyFileA");
        return WinSystem::CopyFileA(source, destination, failIfExists);
    }
};

} // namespace

sys::System& AppSystem() {
    static FaultySystem system(CloseForm1, nullptr);
    return system;
}
