// The input window of the Windows dialogs is a page of the window layer (ui/), which is
// built above this module: the layer hands it over once at start-up (InstallInputWindow,
// util/FSInput_win.h). Until then no input can be confirmed.
#pragma once
#include "util/utlDialogs.h"

using InputWindow = InputOutcome (*)(const InputRequest& request);
void SetInputWindow(InputWindow window);
