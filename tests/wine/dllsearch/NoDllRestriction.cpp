// A test build of the installer that searches for libraries as Windows does by default,
// the program's own folder first, so the test of the restriction can show it matters.
#include "sys/DllSearch.h"

void RestrictDllSearch() {}
