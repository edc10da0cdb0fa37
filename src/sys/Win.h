// Windows headers for the program's Windows-only code. The program speaks only the
// narrow (ANSI) API, so a build that asks for the wide one is refused.
#pragma once

#if defined(UNICODE) || defined(_UNICODE)
#error "This program calls the ANSI API by name; build it without UNICODE."
#endif

#include <windows.h>
