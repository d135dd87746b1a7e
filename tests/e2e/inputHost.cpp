// A program that asks one question through InputDlg, for the end-to-end tests of the
// input dialog:
//   input_host RESULT LIB INPUT DTYPE CHECK CHECKED DEFSTR ANNUL
// CHECKED and ANNUL are 1 or 0, DTYPE one character. It writes the answer, then Input and
// Checked (1 or 0) as InputDlg leaves them, one a line in UTF-8, to the file RESULT.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "util/FSInput_win.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"
#include "util/utlDialogs.h"
#include "util/wideText_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count != 9 || FromW(arguments[4]).size() != 1) return 2;
  const auto argument = [arguments](int i) { return FromW(arguments[i]); };

  InstallInputWindow();
  std::u16string input = argument(3);
  bool checked = argument(6) == u"1";
  const std::u16string answer = InputDlg(argument(2), input, argument(4)[0], argument(5), checked,
                                         argument(7), argument(8) == u"1");

  const std::string result =
      Utf16ToUtf8(answer + u"\n" + input + u"\n" + (checked ? u"1" : u"0") + u"\n");
  fsys::File file = fsys::File::CreateNew(argument(1), {});
  file.Write(result.data(), result.size());
  file.Close();
  LocalFree(arguments);
  return 0;
}
