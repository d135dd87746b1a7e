#include "install/payload.h"

#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

void ExtractPayload(const std::u16string& resourceName, const std::u16string& tempName,
                    const std::u16string& destination) {
  const std::u16string path = InstallSettings.WorkDir + fsys::PathSep + tempName + u".zip";
  // The archive goes to a file created new and stays open until it has been extracted,
  // so that what is read back is what was written: nobody can change or replace it in
  // between. When it cannot be written, the run ends with the write's error.
  fsys::File archive = [&] {
    // The text is single-byte hexadecimal digits, read where it lies; only its first
    // line is the archive. The decoded bytes are freed once written.
    const std::vector<std::uint8_t> bytes = HexToBytes(FirstLine(ReadDataResource(resourceName)));
    return WriteBytesToNewFile(path, bytes);
  }();
  ZipReader(archive, path).ExtractAll(destination);
  archive.Delete();
}
