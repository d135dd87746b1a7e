// What both platform sides of the file layer share: its French error texts, and the
// reading of reparse-point tags.
#include "util/fileSystemErrors.h"

#include "util/appError.h"
#include "util/fileSystem.h"

namespace fsys {

bool IsLinkReparseTag(std::uint32_t tag) {
  // The name-surrogate bit marks the points that stand for another named place.
  constexpr std::uint32_t kNameSurrogate = 0x20000000;
  return tag == 0 || (tag & kNameSurrogate) != 0;
}

void ThrowFileError(FileOperation operation, const std::u16string& path,
                    const std::u16string& cause) {
  const char16_t* pattern = u"";
  switch (operation) {
    case FileOperation::Create: pattern = u"Impossible de créer le fichier \"%s\"."; break;
    case FileOperation::Open: pattern = u"Impossible d'ouvrir le fichier \"%s\"."; break;
    case FileOperation::Write: pattern = u"Erreur d'écriture dans le fichier \"%s\"."; break;
    case FileOperation::Read: pattern = u"Erreur de lecture du fichier \"%s\"."; break;
    case FileOperation::Close: pattern = u"Erreur à la fermeture du fichier \"%s\"."; break;
  }
  std::u16string message = FillIn(pattern, path);
  if (!cause.empty()) message += u" " + cause;
  throw AppError(message);
}

}  // namespace fsys
