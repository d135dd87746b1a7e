// Interim: the neutral answers until WinSys is written.
#include "system/clsSystem.h"

std::unique_ptr<GenSys> MakeSystemServices() { return std::make_unique<GenSys>(); }
