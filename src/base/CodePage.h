// Double-byte rules of the ANSI code page: under them a byte 0x5C that is the second
// byte of a double-byte character (as in Shift-JIS "表", 0x95 0x5C) is no separator.
#pragma once

#include "base/Text.h"

#include <cstddef>

namespace sys {
class System;
struct CodePageInfo;
} // namespace sys

class CodePageRules {
public:
    enum class ByteKind { Single, Lead, Trail };

    // Rules that are not in force: every byte is a character of its own.
    CodePageRules() = default;
    // The rules of a code page as GetCPInfo describes it; in force when it names
    // lead-byte ranges.
    explicit CodePageRules(const sys::CodePageInfo& info);
    // The rules of the code page in which the system reads the program's narrow texts.
    // That is the process's ANSI code page, which an application manifest can set apart
    // from the system's and from the thread's locale.
    static CodePageRules FromAnsiCodePage(sys::System& system);

    bool InForce() const { return inForce_; }
    bool IsLeadByte(unsigned char b) const { return lead_[b]; }

    // Classes byte i of bytes[0..i] from the bytes before it: the run of lead-set bytes
    // directly before it decides, an odd run making it a trail byte.
    ByteKind Kind(const char* bytes, size_t i) const;
    ByteKind Kind(const Text& text, size_t i) const { return Kind(text.CStr(), i); }
    // Whether byte i is a byte of its own with the given value.
    bool IsCharAt(const Text& text, size_t i, char c) const {
        return text.CStr()[i] == c && Kind(text, i) == ByteKind::Single;
    }

private:
    bool inForce_ = false;
    bool lead_[256] = {};
};
