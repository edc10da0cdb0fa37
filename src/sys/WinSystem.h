// The system seam's real implementation: each method is one system call.
#pragma once

#include "sys/System.h"

namespace sys {

class WinSystem : public System {
public:
    // close is what closing the main window means to the caller.
    using CloseFunction = void (*)(void* context);
    explicit WinSystem(CloseFunction close = nullptr, void* context = nullptr)
        : close_(close), closeContext_(context) {}

    uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override;
    uint32_t GetACP() override;
    int GetCPInfo(uint32_t codePage, CodePageInfo& info) override;
    uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override;
    uint32_t GetFileAttributesA(const char* path) override;
    int CreateDirectoryA(const char* path) override;
    int CopyFileA(const char* source, const char* destination, int failIfExists) override;
    intptr_t ShellExecuteA(const char* operation, const char* file, int showCommand) override;
    void ShowNotice(const Text& text) override;
    void CloseMainWindow() override;

private:
    CloseFunction close_;
    void* closeContext_;
};

} // namespace sys
