// Where the program looks for libraries: only in the system's own folder, never beside
// the program (a downloads folder holds whatever was downloaded with it).
#pragma once

#include "sys/Win.h"

// Restricts the library search to the system folder. Call before anything can load a
// library.
void RestrictDllSearch();

// Loads a library by its full path in the system folder.
HMODULE LoadSystemLibrary(const char* name);
