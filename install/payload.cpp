#include "install/payload.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"
#include "util/utlStrings.h"

namespace {
// Bytes decoded and written at a time: what the decoding holds in memory, whatever the
// size of the payload.
constexpr std::size_t kBlock = 1024 * 1024;

// Decodes the text's first line into file, block by block. The text is read once, in
// place, from start to end, and each block's pages are released behind it, so that
// neither the decoded archive nor the whole text is ever held in memory.
void WriteDecoded(std::string_view text, fsys::File& file) {
  std::vector<std::uint8_t> block(kBlock);
  for (std::size_t at = 0; at < text.size();) {
    const std::string_view part = text.substr(at, 2 * kBlock);
    // Only the first line is the archive: a line break ends it (FirstLine, in blocks).
    const std::size_t line = HexLineToBytesInto(part, block.data());
    file.Write(block.data(), line / 2);
    ReleaseDataResource(part.substr(0, line));
    if (line < part.size()) break;
    at += part.size();
  }
}
}  // namespace

void ExtractPayload(const std::u16string& resourceName, const std::u16string& tempName,
                    const std::u16string& destination) {
  const std::u16string path = InstallSettings.WorkDir + fsys::PathSep + tempName + u".zip";
  try {
    // The text is single-byte hexadecimal digits, read where it lies (the program's
    // image); only its first line is the archive. The archive goes to a file created
    // new and stays open until it has been extracted, so that what is read back is what
    // was written: nobody can change or replace it in between. When it cannot be
    // written, the run ends with the write's error.
    const std::string_view text = ReadDataResource(resourceName);
    fsys::File archive = WriteToNewFile(path, [&](fsys::File& file) { WriteDecoded(text, file); });
    ZipReader(archive, path).ExtractAll(destination);
    archive.Delete();
  } catch (const std::bad_alloc&) {
    // The buffers are bounded, whatever the payload; the system had not even those.
    throw AppError(u"Mémoire insuffisante pour extraire l'archive \"" + path +
                   u"\". Fermez d'autres programmes, puis relancez l'installation.");
  }
}
