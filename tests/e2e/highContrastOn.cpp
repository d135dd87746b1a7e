// A library that the high-contrast journey loads into the setup program: from then on the
// program's own calls of SystemParametersInfoW find high contrast turned on, as Windows
// reports it once the user turns it on. Wine always reports it off. The journey sets the
// system colours of a high-contrast scheme itself.
#include <windows.h>

namespace {
using ParametersInfo = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
ParametersInfo systemParametersInfo = nullptr;

BOOL WINAPI HighContrastOn(UINT action, UINT size, PVOID data, UINT flags) {
  if (action != SPI_GETHIGHCONTRAST || !data)
    return systemParametersInfo(action, size, data, flags);
  auto* setting = static_cast<HIGHCONTRASTW*>(data);
  setting->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
  setting->lpszDefaultScheme = nullptr;
  return TRUE;
}

// Points the program's imports of SystemParametersInfoW at HighContrastOn.
void RedirectTheProgramsImport() {
  systemParametersInfo = reinterpret_cast<ParametersInfo>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW")));
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  const auto* library =
      reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; library->Name; ++library)
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
         slot->u1.Function; ++slot) {
      if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(systemParametersInfo)) continue;
      DWORD protection = 0;
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&HighContrastOn);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    }
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) RedirectTheProgramsImport();
  return TRUE;
}
