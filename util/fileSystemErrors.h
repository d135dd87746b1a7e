// Internal to the file layer: raising its errors with the French texts.
#pragma once
#include <string>

namespace fsys {
enum class FileOperation { Create, Open, Write, Read, Close };
[[noreturn]] void ThrowFileError(FileOperation operation, const std::u16string& path,
                                 const std::u16string& cause);
}  // namespace fsys
