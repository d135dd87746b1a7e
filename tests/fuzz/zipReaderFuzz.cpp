// Any bytes as an archive file: the reader extracts it or refuses it with AppError; it
// never crashes, never reads out of bounds and never writes outside the destination.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "install/zipReader.h"
#include "tests/support/tempDir.h"
#include "util/appError.h"
#include "util/fileSystem.h"
#include "util/utlFiles.h"

namespace {
std::set<std::u16string> Names(const std::u16string& folder) {
  std::set<std::u16string> names;
  for (const auto& e : fsys::ListDir(folder)) names.insert(e.Name);
  return names;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TempDir work;
  const auto archive = work / u"fuzz.zip";
  // Three levels down: an entry climbing out of the destination would land in a folder
  // that the checks below see.
  const auto outer = work / u"x";
  const auto middle = outer + fsys::PathSep + u"y";
  const auto dest = middle + fsys::PathSep + u"dest";
  WriteAll(archive, std::string(reinterpret_cast<const char*>(data), size));
  try {
    ZipReader reader(archive);
    reader.ExtractAll(dest);
    reader.Close();
  } catch (const AppError&) {
  }
  const std::set<std::u16string> top = Names(work.Path());
  if (top != std::set<std::u16string>{u"fuzz.zip"} && top != std::set<std::u16string>{u"fuzz.zip", u"x"}) std::abort();
  if (top.count(u"x") && (Names(outer) != std::set<std::u16string>{u"y"} ||
                          Names(middle) != std::set<std::u16string>{u"dest"}))
    std::abort();
  DelDir(outer);
  return 0;
}
