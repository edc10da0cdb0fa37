#include "install/Locations.h"

#include "base/Buffer.h"
#include "base/Texts.h"
#include "sys/System.h"

#include <cstring>

namespace install {

namespace {

const char kReadMeName[] = "ReadMe.txt";
const char kDataDirName[] = "TermikaData";

bool IsDelimiterAt(const Text& path, size_t i, const CodePageRules& rules) {
    return rules.IsCharAt(path, i, '\\') || rules.IsCharAt(path, i, ':');
}

} // namespace

Text FolderOf(const Text& path, const CodePageRules& rules) {
    size_t folderLength = 0; // the folder part, delimiter included
    for (size_t i = path.Length(); i-- > 0;) {
        if (IsDelimiterAt(path, i, rules)) {
            folderLength = i + 1;
            break;
        }
    }
    Text folder = path.Left(folderLength);
    if (folderLength > 1) {
        size_t last = folderLength - 1;
        // The separator in front of the file name goes, unless it follows a drive colon
        // or another separator.
        if (rules.IsCharAt(path, last, '\\') && !IsDelimiterAt(path, last - 1, rules))
            folder = path.Left(last);
    }
    size_t n = folder.Length();
    if (n == 0 || !rules.IsCharAt(folder, n - 1, '\\'))
        folder += "\\";
    return folder;
}

Text CaptureSourceDir(sys::System& system, const CodePageRules& rules) {
    // A call that fills the whole buffer may have cut the path short, and the folder of a
    // cut path can be an ancestor of the real one: ask again with more room.
    char small[kPathBufferSize] = {};
    uint32_t length = system.GetModuleFileNameA(small, kPathBufferSize);
    if (length < kPathBufferSize)
        return FolderOf(Text(small, length), rules);

    for (uint32_t size = 2 * kPathBufferSize;; size *= 2) {
        if (size > kLongestPathBuffer)
            size = kLongestPathBuffer;
        Buffer buffer(size);
        length = system.GetModuleFileNameA(buffer.Bytes(), size);
        if (length < size)
            return FolderOf(Text(buffer.Bytes(), length), rules);
        if (size == kLongestPathBuffer) {
            // No path of the system's is this long. Its folder part would be an ancestor
            // of the real folder, so the whole text stands for the folder instead: every
            // path made from it is too long, and the system refuses them all.
            // Newer systems end the cut text with a zero, older ones fill every byte.
            size_t n = strnlen(buffer.Bytes(), size);
            Text whole(buffer.Bytes(), n);
            if (n > 0 && rules.Kind(whole, n - 1) == CodePageRules::ByteKind::Lead)
                whole = whole.Left(n - 1);
            return whole + "\\";
        }
    }
}

Text QueryWindowsDir(sys::System& system) {
    char buffer[kPathBufferSize] = {};
    uint32_t length = system.GetWindowsDirectoryA(buffer, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize)
        return Text();
    return Text(buffer, strnlen(buffer, kPathBufferSize));
}

Text DataDir(const Text& windowsDir) { return windowsDir + "\\" + kDataDirName; }

void ComposeCopyItems(const Text& sourceDir, const Text& windowsDir,
                      CopyItem (&items)[kCopyItemCount]) {
    char image[] = "TermikaData\\Haikei0.jpg";
    char* digit = std::strchr(image, '0');
    for (int index = 0; index < 3; ++index) {
        *digit = static_cast<char>('0' + index);
        items[index] = {sourceDir + image, windowsDir + "\\" + image};
    }
    items[3] = {sourceDir + kReadMeName, DataDir(windowsDir) + "\\" + kReadMeName};
    items[4] = {sourceDir + texts::kScreenSaverName, windowsDir + "\\" + texts::kScreenSaverName};
}

Text OpenedReadMe(const Text& sourceDir) { return sourceDir + kReadMeName; }

} // namespace install
