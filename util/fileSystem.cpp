// The French error texts of the file layer, shared by both platform sides.
#include "util/fileSystemErrors.h"

#include "util/appError.h"

namespace fsys {

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
