// Internal to the file layer: raising its errors with the French texts.
#pragma once
#include <string>

namespace fsys {
// The cause given for an entry reached through a link where none may be.
inline constexpr char16_t kReachedThroughLink[] =
    u"Un lien symbolique ou une jonction mène ce chemin vers un autre emplacement.";

enum class FileOperation { Create, Open, Write, Read, Close };
[[noreturn]] void ThrowFileError(FileOperation operation, const std::u16string& path,
                                 const std::u16string& cause);
}  // namespace fsys
