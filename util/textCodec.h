// Conversions between the program's UTF-16 texts and byte encodings.
#pragma once
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// The system's ANSI code page: CP_ACP on Windows, Windows-1252 elsewhere.
// Characters the code page cannot hold become what the system's conversion makes of them
// ("?" for Windows-1252 here).
std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);
