// Test helper: the code page 932 bytes of a UTF-8 text, by the C library's converter.
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>

inline std::string Sjis(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no CP932 converter");
    std::string out(utf8.size() * 2 + 1, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = &out[0];
    size_t outLeft = out.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        throw std::runtime_error("not convertible to CP932: " + utf8);
    out.resize(out.size() - outLeft);
    return out;
}
