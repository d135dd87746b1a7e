#include <gtest/gtest.h>

#include "util/dataResource.h"
#include "util/textCodec.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef ORVELIN_PAYLOAD_DIR
  // The native build's payload folder stands in for the program's resources; the Windows
  // test program carries them as its own RCDATA resources.
  SetDataResourceFolder(Utf8ToUtf16(ORVELIN_PAYLOAD_DIR));
#endif
  return RUN_ALL_TESTS();
}
