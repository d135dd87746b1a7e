// Resource IDs shared by the resource script and the program.
#pragma once

#define ORVELIN_ICON 1
