// Runs ExtractPayload the way the setup program does, with a folder standing in for the
// program's resources: for the round-trip test and the benchmark.
//
//   extract_payload RESOURCE_FOLDER RESOURCE_NAME WORK_FOLDER DESTINATION
#include <cstdio>

#include "install/payload.h"
#include "shell/defGlVar.h"
#include "util/appError.h"
#include "util/dataResource.h"
#include "util/textCodec.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: extract_payload RESOURCE_FOLDER RESOURCE_NAME WORK_FOLDER DESTINATION\n");
    return 2;
  }
  SetDataResourceFolder(Utf8ToUtf16(argv[1]));
  InstallSettings.WorkDir = Utf8ToUtf16(argv[3]);
  try {
    ExtractPayload(Utf8ToUtf16(argv[2]), u"Prog", Utf8ToUtf16(argv[4]));
  } catch (const AppError& e) {
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(e.Message()).c_str());
    return 1;
  }
  return 0;
}
