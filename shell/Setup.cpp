// Program entry of Setup_Orvelin.exe.
#include <windows.h>

#include "util/utlDialogs.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MsgDlg(u"Installation Orvelin", u"O", u"O", u"I");
  return 0;
}
