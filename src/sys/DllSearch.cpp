#include "sys/DllSearch.h"

namespace {

// Libraries the shell loads by name on demand. Where the search cannot be restricted,
// loading them from the system folder first means the shell finds them loaded.
const char* const kShellOnDemand[] = {
    "uxtheme.dll",  "dwmapi.dll",  "propsys.dll", "version.dll", "userenv.dll",
    "profapi.dll",  "apphelp.dll", "setupapi.dll", "cryptbase.dll", "oleacc.dll",
    "clbcatq.dll",  "ntmarta.dll", "shfolder.dll", "linkinfo.dll", "ntshrui.dll",
};

} // namespace

void RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    // Looked up at run time: systems before Windows 8 (and 7 without its update) lack them.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDllDirectory)
        setDllDirectory(""); // takes the current folder out of the search
    for (const char* name : kShellOnDemand)
        LoadSystemLibrary(name);
}
