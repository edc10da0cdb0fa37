// formc: compiles a layout's text source into the binary form stream the installer carries.
//   formc input.layout output.bin
// The output depends on the input only, so builds are reproducible.
#include "FormCompiler.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: formc input.layout output.bin\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", argv[1]);
        return 1;
    }
    std::ostringstream source;
    source << in.rdbuf();
    std::vector<unsigned char> stream;
    try {
        stream = CompileLayout(source.str(), argv[1]);
    } catch (const LayoutError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    // Written only once compiled, so a failed build leaves no half-written stream behind.
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stream.data()),
              static_cast<std::streamsize>(stream.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
