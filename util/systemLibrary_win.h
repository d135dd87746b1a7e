// DLLs of the system that are not on its known-DLL list (version, comctl32, ...) are
// never imported: Windows would look for them beside the program first, in a folder
// that the user's other programs can write, and load a planted copy with administrator
// rights. They are loaded at run time, from the system folder only.
#pragma once
#include <windows.h>

// Restricts the DLL search of the whole process to the system folder: the program's
// very first step.
void RestrictDllSearch();

// A function of a DLL of the system folder; null when either is missing.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemFunction(dll, name)));
}

// Registers the window classes of the common controls (comctl32's InitCommonControlsEx).
void RegisterCommonControls(DWORD classes);
