// The install run: what the install button does.
#pragma once

#include "base/CodePage.h"
#include "base/Text.h"

namespace sys {
class System;
}

namespace install {

// Whether path names an existing folder (and not a file).
bool IsExistingFolder(sys::System& system, const Text& path);

// Makes the folder path together with its missing parents, outermost first; stops at the
// first folder that cannot be made. True when the folder exists afterwards.
bool ForceDirectories(sys::System& system, const CodePageRules& rules, const Text& path);

// Copies the distribution from sourceDir into the Windows folder, tells the outcome in a
// notice, opens the distribution's read-me after success, and closes the main window.
void Run(sys::System& system, const CodePageRules& rules, const Text& sourceDir);

} // namespace install
