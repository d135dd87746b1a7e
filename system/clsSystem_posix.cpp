// Outside Windows the neutral answers of GenSys serve.
#include "system/clsSystem.h"

std::unique_ptr<GenSys> MakeSystemServices() { return std::make_unique<GenSys>(); }
