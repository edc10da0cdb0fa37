// A small test harness for programs that run under Wine: each failed check prints
// file:line and what failed, and the number of failures is the exit code.
#pragma once

#include "sys/Win.h"

#include <string>

namespace winetest {

extern int failures;
void Fail(const char* file, int line, const std::string& what);
// Code page 932 bytes of a wide text (tests spell Japanese texts as wide literals).
std::string Ansi(const wchar_t* wide);
// The text with every byte >= 0x80 shown as \xNN, for messages.
std::string Printable(const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Both files can be read, are not empty, and hold the same bytes.
bool SameContents(const std::string& a, const std::string& b);
// Waits up to timeoutMs for a file to appear.
bool WaitForFile(const std::string& path, DWORD timeoutMs);
int Finish(const char* name);

} // namespace winetest

#define CHECK(cond)                                                                                \
    do {                                                                                           \
        if (!(cond))                                                                               \
            winetest::Fail(__FILE__, __LINE__, #cond);                                             \
    } while (0)

#define CHECK_EQ(a, b)                                                                             \
    do {                                                                                           \
        const auto& a_ = (a);                                                                      \
        const auto& b_ = (b);                                                                      \
        if (!(a_ == b_))                                                                           \
            winetest::Fail(__FILE__, __LINE__,                                                     \
                           std::string(#a " == " #b) + " (" +                                      \
                               winetest::Printable(winetest::Str(a_)) + " vs " +                  \
                               winetest::Printable(winetest::Str(b_)) + ")");                     \
    } while (0)

namespace winetest {
inline std::string Str(const std::string& s) { return s; }
inline std::string Str(const char* s) { return s; }
template <typename T> std::string Str(const T& v) { return std::to_string(v); }
} // namespace winetest
