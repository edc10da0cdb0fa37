// The source folder of any executable path, with and without the rules of code page 932.
// Input: a first byte of choices, then the path.
//   bit 0     the code page 932 rules are in force
//   bit 1     stretch the path to a length around one of the buffer sizes CaptureSourceDir
//             asks with, by repeating its first byte in front: paths that long are too big
//             for the fuzzer to come up with by mutation alone
//   bits 2-4  which length (see Stretch)
// The system is the unit tests' fake, whose GetModuleFileNameA answers as Windows does.
#include "FakeSystem.h"

#include "base/CodePage.h"
#include "install/Locations.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool ok, const char* what, const std::string& path) {
    if (!ok) {
        std::fprintf(stderr, "source folder fuzz: %s (path of %zu bytes)\n", what, path.size());
        std::abort();
    }
}

bool IsLead932(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

using Kind = CodePageRules::ByteKind;

// The kind of every byte, walking the path from its start as the system does. The rules
// class a byte by looking backwards from it; this is the independent reading to hold them to.
std::vector<Kind> Kinds(const std::string& path, bool inForce) {
    std::vector<Kind> kinds(path.size(), Kind::Single);
    for (size_t i = 0; inForce && i < path.size(); ++i) {
        if (IsLead932(static_cast<unsigned char>(path[i]))) {
            kinds[i] = Kind::Lead;
            if (i + 1 < path.size())
                kinds[++i] = Kind::Trail;
        }
    }
    return kinds;
}

// The folder part the capture must give: the path through its last separator or drive
// colon, with a separator after a colon, or a lone one when there is neither.
std::string ExpectedFolder(const std::string& path, const std::vector<Kind>& kinds) {
    for (size_t i = path.size(); i-- > 0;) {
        if (kinds[i] != Kind::Single)
            continue;
        if (path[i] == '\\')
            return path.substr(0, i + 1);
        if (path[i] == ':')
            return path.substr(0, i + 1) + "\\";
    }
    return "\\";
}

// A path too long for the largest buffer is cut to it, or at a zero byte in it (newer
// systems end the cut text with one), less a lead byte left without its trail, and stands
// for the folder as a whole: every path made from it is too long too.
std::string ExpectedForOverlong(const std::string& path, const std::vector<Kind>& kinds) {
    size_t length = install::kLongestPathBuffer;
    size_t zero = path.find('\0');
    if (zero < length)
        length = zero;
    if (length > 0 && kinds[length - 1] == Kind::Lead)
        --length;
    return path.substr(0, length) + "\\";
}

void CheckFolder(const Text& result, const std::string& expected, const CodePageRules& rules,
                 const std::string& path) {
    size_t n = result.Length();
    Check(n > 0 && result[n - 1] == '\\', "folder without a final separator", path);
    Check(rules.Kind(result, n - 1) == Kind::Single,
          "final separator is part of a double-byte character", path);
    Check(std::string(result.CStr(), n) == expected, "folder not the expected one", path);
}

std::string Stretch(const std::string& body, unsigned choice) {
    // Around the first buffer (261), the second (522) and the largest (32768).
    static const size_t kLengths[] = {260, 261, 262, 521, 522, 32767, 32768, 32769};
    size_t length = kLengths[choice];
    if (length <= body.size())
        return body;
    char fill = body.empty() ? 'a' : body[0];
    return std::string(length - body.size(), fill) + body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    bool inForce = (data[0] & 1) != 0;
    std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 2)
        path = Stretch(path, (data[0] >> 2) & 7);

    sys::CodePageInfo info;
    if (inForce) {
        const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
        std::memcpy(info.leadByte, ranges, sizeof ranges);
    }
    CodePageRules rules(info);
    Check(rules.InForce() == inForce, "rules not in force as chosen", path);

    std::vector<Kind> kinds = Kinds(path, inForce);
    std::string expected = ExpectedFolder(path, kinds);
    CheckFolder(install::FolderOf(Text(path.data(), path.size()), rules), expected, rules, path);

    FakeSystem system;
    system.modulePath = path;
    if (path.size() >= install::kLongestPathBuffer)
        expected = ExpectedForOverlong(path, kinds);
    CheckFolder(install::CaptureSourceDir(system, rules), expected, rules, path);
    // Each call asks with more room than the one before, never more than the largest buffer.
    for (size_t i = 1; i < system.moduleBufferSizes.size(); ++i)
        Check(system.moduleBufferSizes[i] > system.moduleBufferSizes[i - 1] &&
                  system.moduleBufferSizes[i] <= install::kLongestPathBuffer,
              "buffer sizes do not grow to the largest", path);
    return 0;
}
