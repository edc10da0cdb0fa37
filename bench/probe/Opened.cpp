// Opens .txt files in the benchmark's prefix: the installer opens its read-me when it is
// done, and a viewer left on the screen would only get in the way of the next run.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
