/* A program that imports the system's known DLLs only (kernel32, user32): what such a
   program loads from beside itself, the system loads of its own accord. */
#include <windows.h>

int main(void) { return GetSystemMetrics(SM_CXSCREEN) > 0 ? 0 : 1; }
