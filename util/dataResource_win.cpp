// The program's RCDATA resources, read in place in the loaded image.
#include <windows.h>

#include <cstdint>

#include "util/appError.h"
#include "util/dataResource.h"
#include "util/wideText_win.h"

void SetDataResourceFolder(const std::u16string&) {}

// Unlocking pages that are not locked takes them out of the working set (the call then
// reports that they were not locked): the image's pages stay mapped, and come back from
// the program file when they are read again.
void ReleaseDataResource(std::string_view part) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const auto page = static_cast<std::uintptr_t>(system.dwPageSize);
  const auto begin = (reinterpret_cast<std::uintptr_t>(part.data()) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(part.data()) + part.size()) / page * page;
  if (end > begin) VirtualUnlock(reinterpret_cast<void*>(begin), end - begin);
}

std::string_view ReadDataResource(const std::u16string& name) {
  HRSRC info = FindResourceW(nullptr, W(name), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw AppError(u"Ressource introuvable : " + name);
  return std::string_view(static_cast<const char*>(data), SizeofResource(nullptr, info));
}
