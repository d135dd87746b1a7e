/* A DLL that another program of the user could plant beside the setup program under the
   name of a system DLL that is not on the known-DLL list (version.dll, comctl32.dll,
   uxtheme.dll). When loaded it leaves a marker beside itself: its own path followed by
   ".loaded". It exports the functions that the setup program would ask of those DLLs,
   doing nothing, so that a program importing them loads it as it would the real one. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t marker[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, marker, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcpyW(marker + n, L".loaded");
      HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  }
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR file, LPDWORD handle) {
  (void)file, (void)handle;
  return 0;
}
__declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR file, DWORD handle, DWORD size, LPVOID data) {
  (void)file, (void)handle, (void)size, (void)data;
  return FALSE;
}
__declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR name, LPVOID* value, PUINT size) {
  (void)block, (void)name, (void)value, (void)size;
  return FALSE;
}
__declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void* classes) {
  (void)classes;
  return TRUE;
}
__declspec(dllexport) HRESULT WINAPI LoadIconWithScaleDown(HINSTANCE module, PCWSTR name, int cx, int cy,
                                                            HICON* icon) {
  (void)module, (void)name, (void)cx, (void)cy, (void)icon;
  return E_NOTIMPL;
}
