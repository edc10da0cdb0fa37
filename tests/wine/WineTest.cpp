#include "WineTest.h"

#include <cstdio>

namespace winetest {

int failures = 0;

void Fail(const char* file, int line, const std::string& what) {
    ++failures;
    std::printf("%s:%d: check failed: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

std::string Ansi(const wchar_t* wide) {
    char buffer[4096];
    int n = WideCharToMultiByte(932, 0, wide, -1, buffer, sizeof(buffer), nullptr, nullptr);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string();
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x80 || c < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool SameContents(const std::string& a, const std::string& b) {
    std::string x, y;
    return ReadFileBytes(a, x) && ReadFileBytes(b, y) && !x.empty() && x == y;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

int Finish(const char* name) {
    std::printf("%s: %d failure%s\n", name, failures, failures == 1 ? "" : "s");
    return failures;
}

} // namespace winetest
