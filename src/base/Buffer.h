// A zero-filled heap buffer with one owner.
#pragma once

#include "base/Exception.h"

#include <cstddef>
#include <cstdlib>

class Buffer {
public:
    explicit Buffer(size_t size) : bytes_(static_cast<char*>(std::calloc(size ? size : 1, 1))) {
        if (!bytes_)
            throw EOutOfMemory("Out of memory");
    }
    ~Buffer() { std::free(bytes_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    char* Bytes() { return bytes_; }

private:
    char* bytes_;
};
