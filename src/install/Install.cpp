#include "install/Install.h"

#include "base/Texts.h"
#include "install/Locations.h"
#include "sys/System.h"

namespace install {

bool IsExistingFolder(sys::System& system, const Text& path) {
    uint32_t attributes = system.GetFileAttributesA(path.CStr());
    return attributes != sys::kInvalidFileAttributes &&
           (attributes & sys::kFileAttributeDirectory) != 0;
}

bool ForceDirectories(sys::System& system, const CodePageRules& rules, const Text& path) {
    Text folder = path;
    size_t n = folder.Length();
    if (n > 0 && rules.IsCharAt(folder, n - 1, '\\'))
        folder = folder.Left(--n);

    if (n == 2 && rules.IsCharAt(folder, 1, ':'))
        return true; // a bare drive, or a drive root without its separator
    if (n == 0)
        return !path.Empty() && IsExistingFolder(system, path); // "\" is the current root
    if (IsExistingFolder(system, folder))
        return true;

    size_t parentLength = 0;
    for (size_t i = n; i-- > 0;) {
        if (rules.IsCharAt(folder, i, '\\') || rules.IsCharAt(folder, i, ':')) {
            parentLength = i + 1;
            break;
        }
    }
    if (parentLength == 0)
        return false; // a relative name with nothing left to make it under
    return ForceDirectories(system, rules, folder.Left(parentLength)) &&
           system.CreateDirectoryA(folder.CStr()) != 0;
}

void Run(sys::System& system, const CodePageRules& rules, const Text& sourceDir) {
    bool installed = false;
    // Without the Windows folder every destination would land at the root of the current
    // drive: install nothing and say it failed.
    Text windowsDir = QueryWindowsDir(system);
    if (!windowsDir.Empty()) {
        Text dataDir = DataDir(windowsDir);
        if (!IsExistingFolder(system, dataDir))
            ForceDirectories(system, rules, dataDir);

        CopyItem items[kCopyItemCount];
        ComposeCopyItems(sourceDir, windowsDir, items);
        for (int i = 0; i < kCopyItemCount; ++i) {
            int copied = system.CopyFileA(items[i].source.CStr(), items[i].destination.CStr(), 0);
            if (i == kScreenSaverItem)
                installed = copied != 0;
        }
    }

    if (installed) {
        system.ShowNotice(texts::kSuccessNotice);
        system.ShellExecuteA(nullptr, OpenedReadMe(sourceDir).CStr(), sys::kSwShowNormal);
    } else {
        system.ShowNotice(texts::kFailureNotice);
    }
    system.CloseMainWindow();
}

} // namespace install
