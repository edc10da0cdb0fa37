// Where each installed file comes from and where it goes.
#pragma once

#include "base/CodePage.h"
#include "base/Text.h"

namespace sys {
class System;
}

namespace install {

constexpr unsigned kPathBufferSize = 261;
// The largest path the system reports; a longer one cannot be named at all.
constexpr unsigned kLongestPathBuffer = 32768;

// The folder of a full path, up to and including its last separator, always ending in
// a separator that is a character of its own.
Text FolderOf(const Text& path, const CodePageRules& rules);

// The folder of the running executable: the install source folder.
Text CaptureSourceDir(sys::System& system, const CodePageRules& rules);

// The Windows folder as GetWindowsDirectoryA gives it in a zero-filled 261-byte buffer.
// Empty when the call failed or the folder did not fit.
Text QueryWindowsDir(sys::System& system);

Text DataDir(const Text& windowsDir);

struct CopyItem {
    Text source;
    Text destination;
};
constexpr int kCopyItemCount = 5;
constexpr int kScreenSaverItem = 4; // the last one, whose copy decides the outcome

// The five copies in their order: the images 0 to 2, the read-me, the screen saver.
void ComposeCopyItems(const Text& sourceDir, const Text& windowsDir,
                      CopyItem (&items)[kCopyItemCount]);

// The read-me that is opened after a successful install: the distribution's own.
Text OpenedReadMe(const Text& sourceDir);

} // namespace install
