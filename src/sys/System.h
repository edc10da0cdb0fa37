// The install logic's only view of the system. Each method stands for one call and
// hands back the call's own result, so the logic above it can be run against a fake.
// The types are the Win32 ones spelled portably (DWORD, UINT, BOOL), so the logic
// compiles natively as well as for Windows.
#pragma once

#include "base/Text.h"

#include <cstdint>

namespace sys {

constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kFileAttributeDirectory = 0x10u;
constexpr int kSwShowNormal = 1;
constexpr int kMaxLeadByteRanges = 6; // CPINFO.LeadByte holds up to 12 bytes

// What GetCPInfo reports: the lead-byte ranges, pairs of first and last byte.
struct CodePageInfo {
    unsigned char leadByte[2 * kMaxLeadByteRanges] = {};
};

class System {
public:
    virtual ~System() = default;

    // kernel32
    virtual uint32_t GetModuleFileNameA(char* buffer, uint32_t size) = 0; // of the executable
    virtual uint32_t GetACP() = 0; // the code page the system reads the program's texts in
    virtual int GetCPInfo(uint32_t codePage, CodePageInfo& info) = 0;
    virtual uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) = 0;
    virtual uint32_t GetFileAttributesA(const char* path) = 0;
    virtual int CreateDirectoryA(const char* path) = 0; // no security attributes
    virtual int CopyFileA(const char* source, const char* destination, int failIfExists) = 0;

    // shell32: owner window 0, no parameters, no working folder
    virtual intptr_t ShellExecuteA(const char* operation, const char* file, int showCommand) = 0;

    // user interface
    virtual void ShowNotice(const Text& text) = 0; // modal; returns once dismissed
    virtual void CloseMainWindow() = 0;
};

} // namespace sys
