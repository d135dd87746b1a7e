#include "tests/win/winTestSupport.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

HKEY Root(std::uint32_t root) {
  // Predefined keys are sign-extended handle values.
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

std::optional<RawValue> ReadRaw(std::uint32_t root, const std::u16string& path,
                                const std::u16string& name, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(Root(root), W(path), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
    return std::nullopt;
  RawValue value;
  DWORD size = 0;
  LONG status = RegQueryValueExW(key, W(name), nullptr, &value.Type, nullptr, &size);
  if (status == ERROR_SUCCESS && size > 0) {
    value.Data.resize(size);
    status = RegQueryValueExW(key, W(name), nullptr, &value.Type, value.Data.data(), &size);
    value.Data.resize(size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool KeyPresent(std::uint32_t root, const std::u16string& path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(Root(root), W(path), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

LinkSettings LoadLink(const std::u16string& linkFile) {
  LinkSettings settings;
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(W(linkFile), STGM_READ))) {
    wchar_t text[INFOTIPSIZE] = {};
    if (SUCCEEDED(link->GetPath(text, INFOTIPSIZE, nullptr, SLGP_RAWPATH))) settings.Target = FromW(text);
    if (SUCCEEDED(link->GetArguments(text, INFOTIPSIZE))) settings.Arguments = FromW(text);
    if (SUCCEEDED(link->GetDescription(text, INFOTIPSIZE))) settings.Description = FromW(text);
    if (SUCCEEDED(link->GetWorkingDirectory(text, INFOTIPSIZE))) settings.WorkingDir = FromW(text);
  } else {
    ADD_FAILURE() << "the link file cannot be loaded";
  }
  if (file) file->Release();
  if (link) link->Release();
  return settings;
}

std::string Narrow(const std::u16string& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, W(text), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
  return narrow;
}
