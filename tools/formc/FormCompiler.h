// Turns a layout's text source (object ... end, Name = value) into the binary form stream
// the installer reads. Used by the formc build tool and by the reader's tests.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// "file:line: what is wrong".
class LayoutError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `source` is UTF-8 text; `fileName` only names it in errors. Throws LayoutError.
std::vector<unsigned char> CompileLayout(const std::string& source, const std::string& fileName);
