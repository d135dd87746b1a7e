#include "install/payload.h"

#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

namespace {
std::u16string TempArchivePath(const std::u16string& tempName) {
  return InstallSettings.WorkDir + fsys::PathSep + tempName + u".zip";
}
}  // namespace

void ExtractPayload(const std::u16string& resourceName, const std::u16string& tempName,
                    const std::u16string& destination) {
  {
    // The text is single-byte hexadecimal digits, read where it lies; only its first
    // line is the archive. The decoded bytes are freed once written, before extraction.
    const std::vector<std::uint8_t> archive = HexToBytes(FirstLine(ReadDataResource(resourceName)));
    WriteBytesToFile(TempArchivePath(tempName), archive);  // on a failure the user was asked
  }
  ZipReader reader(TempArchivePath(tempName));
  reader.ExtractAll(destination);
  reader.Close();
  DelFile(TempArchivePath(tempName));
}
