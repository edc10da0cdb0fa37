#include "sys/WinSystem.h"

#include "sys/Win.h"
#include "toolkit/MessageForm.h"

#include "sys/DllSearch.h"

#include <shellapi.h>

#include <cstring>

namespace sys {

uint32_t WinSystem::GetModuleFileNameA(char* buffer, uint32_t size) {
    return ::GetModuleFileNameA(nullptr, buffer, size);
}

uint32_t WinSystem::GetACP() { return ::GetACP(); }

int WinSystem::GetCPInfo(uint32_t codePage, CodePageInfo& info) {
    CPINFO cp;
    if (!::GetCPInfo(codePage, &cp))
        return FALSE;
    static_assert(sizeof(cp.LeadByte) == sizeof(info.leadByte), "CPINFO.LeadByte size");
    std::memcpy(info.leadByte, cp.LeadByte, sizeof(info.leadByte));
    return TRUE;
}

uint32_t WinSystem::GetWindowsDirectoryA(char* buffer, uint32_t size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

uint32_t WinSystem::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

int WinSystem::CreateDirectoryA(const char* path) { return ::CreateDirectoryA(path, nullptr); }

int WinSystem::CopyFileA(const char* source, const char* destination, int failIfExists) {
    return ::CopyFileA(source, destination, failIfExists);
}

intptr_t WinSystem::ShellExecuteA(const char* operation, const char* file, int showCommand) {
    // The shell is loaded only now, when the install needs it, from the system folder.
    using ShellExecuteFunction =
        HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    auto shellExecute = shell ? reinterpret_cast<ShellExecuteFunction>(reinterpret_cast<void*>(
                                    GetProcAddress(shell, "ShellExecuteA")))
                              : nullptr;
    if (!shellExecute)
        return SE_ERR_DLLNOTFOUND;
    return reinterpret_cast<intptr_t>(
        shellExecute(nullptr, operation, file, nullptr, nullptr, showCommand));
}

void WinSystem::ShowNotice(const Text& text) { ::ShowNotice(text); }

void WinSystem::CloseMainWindow() {
    if (close_)
        close_(closeContext_);
}

} // namespace sys
