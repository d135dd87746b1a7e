// The system's own words for a Win32 error code, as error messages quote them.
#pragma once
#include <windows.h>

#include <string>

// The description of error in the system's language, without its trailing line break;
// empty when the system has none.
std::u16string SystemErrorText(DWORD error);
