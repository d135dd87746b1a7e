/* The control of the planted-DLL test: a program that takes version.dll and comctl32.dll
   by import and uxtheme.dll by name, with the default DLL search, as the setup program
   must not; a planted copy beside it is loaded. It shows that the test's planting works. */
#include <windows.h>
#include <commctrl.h>

int main(void) {
  DWORD handle = 0;
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  LoadLibraryW(L"uxtheme.dll");
  return (int)GetFileVersionInfoSizeW(L"kernel32.dll", &handle) > 0;
}
