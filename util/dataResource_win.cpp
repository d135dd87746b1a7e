// The program's RCDATA resources, read in place in the loaded image.
#include <windows.h>

#include "util/appError.h"
#include "util/dataResource.h"
#include "util/wideText_win.h"

void SetDataResourceFolder(const std::u16string&) {}

std::string_view ReadDataResource(const std::u16string& name) {
  HRSRC info = FindResourceW(nullptr, W(name), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw AppError(u"Ressource introuvable : " + name);
  return std::string_view(static_cast<const char*>(data), SizeofResource(nullptr, info));
}
