// Any bytes as an archive: ExtractPayload, fed the bytes as the hexadecimal text of a
// resource (so that they go the whole new way: decoded in blocks into the temporary
// archive, entries inflated whole by libdeflate), extracts them or refuses them with
// AppError; it never crashes, never reads out of bounds and never writes outside the
// destination. And it does exactly what the reader always did: the same bytes
// extracted by a reader that streams every entry through zlib, as before, give the
// same files with the same content, or the same error text.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "install/payload.h"
#include "install/zipReader.h"
#include "shell/defGlVar.h"
#include "tests/support/tempDir.h"
#include "tools/zipWriter.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
std::set<std::u16string> Names(const std::u16string& folder) {
  std::set<std::u16string> names;
  for (const auto& e : fsys::ListDir(folder)) names.insert(e.Name);
  return names;
}

// Every file below folder, by its path relative to it, with its content.
void Snapshot(const std::u16string& folder, const std::u16string& relative,
              std::map<std::u16string, std::string>& files) {
  for (const auto& e : fsys::ListDir(folder)) {
    const std::u16string path = folder + fsys::PathSep + e.Name;
    if (e.IsDir)
      Snapshot(path, relative + e.Name + u"/", files);
    else
      files[relative + e.Name] = ReadAll(path);
  }
}

struct Outcome {
  std::u16string error;  // empty when it extracted
  std::map<std::u16string, std::string> files;
  bool operator==(const Outcome&) const = default;
};

template <typename Extraction>
Outcome Extract(const std::u16string& dest, Extraction extraction) {
  Outcome outcome;
  try {
    extraction();
  } catch (const AppError& e) {
    outcome.error = e.Message();
  }
  Snapshot(dest, u"", outcome.files);
  return outcome;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TempDir work;
  static const bool ready = [] {
    fsys::MakeDir(work / u"resources");
    fsys::MakeDir(work / u"travail");
    SetDataResourceFolder(work / u"resources");
    InstallSettings.WorkDir = work / u"travail";
    return true;
  }();
  (void)ready;
  // The resource is mapped when read, as an image would be: a new mapping for each input.
  ForgetDataResources();
  const std::u16string resource = u"RESOURCE_1";
  const std::string hex = BytesToHex(std::span<const std::uint8_t>(data, size));
  WriteAll(work / u"resources" + fsys::PathSep + resource, hex);

  // Three levels down: an entry climbing out of the destination would land in a folder
  // that the checks below see.
  const auto outer = work / u"x";
  const auto middle = outer + fsys::PathSep + u"y";
  const auto dest = middle + fsys::PathSep + u"dest";
  const auto archive = InstallSettings.WorkDir + fsys::PathSep + u"Prog.zip";

  const Outcome now = Extract(dest, [&] { ExtractPayload(resource, u"Prog", dest); });
  DelFile(work / u"resources" + fsys::PathSep + resource);
  const std::set<std::u16string> top = Names(work.Path());
  if (top != std::set<std::u16string>{u"resources", u"travail"} &&
      top != std::set<std::u16string>{u"resources", u"travail", u"x"})
    std::abort();
  if (top.count(u"x") && (Names(outer) != std::set<std::u16string>{u"y"} ||
                          Names(middle) != std::set<std::u16string>{u"dest"}))
    std::abort();
  // The temporary archive goes after a successful extraction, and stays after a failure.
  if (fsys::IsFile(archive) == now.error.empty()) std::abort();
  DelDir(outer);

  WriteAll(archive, std::string(reinterpret_cast<const char*>(data), size));
  const Outcome before = Extract(dest, [&] {
    ZipReader reader(archive);
    reader.SetWholeEntryLimit(0);
    reader.ExtractAll(dest);
    reader.Close();
  });
  DelDir(outer);
  DelFile(archive);
  if (!(now == before)) std::abort();
  return 0;
}
