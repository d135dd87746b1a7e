// WinSys: the system services served by Win32. Every operation closes what it opened
// before it returns, also when it fails.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "system/regValueText.h"
#include "system/winSys.h"
#include "util/appError.h"
#include "util/systemLibrary_win.h"
#include "util/wideText_win.h"

std::unique_ptr<GenSys> MakeSystemServices() { return std::make_unique<WinSys>(); }

namespace {

// The program is a 32-bit process: below HKEY_LOCAL_MACHINE\Software it lives in the
// 32-bit view of the registry. A 64-bit build asks for that view on every access, so
// that both builds read and write the same keys.
constexpr REGSAM RegView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

// The records as the 32-bit program passes them; a 64-bit build has wider ones.
static_assert(sizeof(MEMORYSTATUSEX) == 64);
static_assert(sizeof(void*) != 4 || (sizeof(PROCESSENTRY32W) == 556 && sizeof(PROCESS_MEMORY_COUNTERS) == 40));

// The key test asks for less than KEY_READ: no change notification.
constexpr REGSAM KeyTestAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | STANDARD_RIGHTS_READ;
static_assert(KeyTestAccess == 0x20009);

// The predefined roots are 32-bit handle values, sign-extended in a 64-bit process.
HKEY RootKey(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

// The key path as the registry takes it: without a leading "\".
std::u16string SubKey(const std::u16string& keyPath) {
  return !keyPath.empty() && keyPath.front() == u'\\' ? keyPath.substr(1) : keyPath;
}

// An open registry key, closed when the holder goes.
class RegKey {
public:
  // The existing key; an empty path gives a new handle of the root itself.
  static RegKey Open(std::uint32_t root, const std::u16string& keyPath, REGSAM access) {
    RegKey key;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(RootKey(root), W(SubKey(keyPath)), 0, access | RegView, &handle) == ERROR_SUCCESS)
      key.handle_ = handle;
    return key;
  }
  // The key, created with every missing level of its path.
  static RegKey Create(std::uint32_t root, const std::u16string& keyPath, REGSAM access) {
    RegKey key;
    HKEY handle = nullptr;
    if (RegCreateKeyExW(RootKey(root), W(SubKey(keyPath)), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        access | RegView, nullptr, &handle, nullptr) == ERROR_SUCCESS)
      key.handle_ = handle;
    return key;
  }

  RegKey(RegKey&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (handle_) RegCloseKey(handle_);
  }

  explicit operator bool() const { return handle_ != nullptr; }
  HKEY Handle() const { return handle_; }

private:
  RegKey() = default;
  HKEY handle_ = nullptr;
};

bool KeyExists(std::uint32_t root, const std::u16string& keyPath) {
  return static_cast<bool>(RegKey::Open(root, keyPath, KeyTestAccess));
}

RegValueKind KindOf(DWORD type) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return RegValueKind::Text;
    case REG_DWORD:
      return RegValueKind::Number;
    default:
      return RegValueKind::Other;
  }
}

// Stores one value in the key, which is created when missing (an empty path stands for
// the root itself); a key that cannot be had or a refused store raises the write error.
void StoreValue(std::uint32_t root, const std::u16string& keyPath, const std::u16string& valName,
                DWORD type, const void* data, std::size_t size) {
  const RegKey key = SubKey(keyPath).empty() ? RegKey::Open(root, keyPath, KEY_WRITE)
                                             : RegKey::Create(root, keyPath, KEY_WRITE);
  if (!key || size > MAXDWORD ||
      RegSetValueExW(key.Handle(), W(valName), 0, type, static_cast<const BYTE*>(data),
                     static_cast<DWORD>(size)) != ERROR_SUCCESS)
    throw AppError(FillIn(ValueWriteFailed, valName));
}

// Deletes a key that has no subkeys. RegDeleteKeyExW, which can name the registry view,
// is missing from the oldest systems: RegDeleteKeyW serves there.
void DeleteKey(HKEY root, const std::u16string& subKey) {
  using RegDeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
  const FARPROC found = GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW");
  if (found)
    reinterpret_cast<RegDeleteKeyExFn>(reinterpret_cast<void (*)()>(found))(root, W(subKey), RegView, 0);
  else
    RegDeleteKeyW(root, W(subKey));
}

// Closes a kernel handle when the holder goes.
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using ScopedHandle = std::unique_ptr<void, HandleCloser>;

std::u16string Decimal(unsigned number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void WinSys::ShellExec(const std::u16string& path, std::int32_t etype) {
  // The started program is not waited for and a failure is not reported.
  switch (etype) {
    case 0:
      ShellExecuteW(nullptr, nullptr, W(path), L"", nullptr, SW_HIDE);
      break;
    case 1:
      ShellExecuteW(nullptr, L"OPEN", W(path), L"", L"", SW_SHOWNORMAL);
      break;
    default:
      break;
  }
}

bool WinSys::RegInfoKeyExists(std::uint32_t Root, const std::u16string& KeyPath) {
  return KeyExists(Root, KeyPath);
}

void WinSys::ValidateRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) {
  if (KeyExists(Root, KeyPath)) return;
  if (!RegKey::Create(Root, KeyPath, KEY_ALL_ACCESS)) throw AppError(FillIn(KeyCreationFailed, KeyPath));
}

std::u16string WinSys::GetRegInfoValue(std::uint32_t Root, const std::u16string& KeyPath,
                                       const std::u16string& ValName) {
  if (!KeyExists(Root, KeyPath)) return u"";
  const RegKey key = RegKey::Open(Root, KeyPath, KEY_READ);
  if (!key) return u"";

  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Handle(), W(ValName), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return u"";  // no such value
  // The data may grow between the size query and the read: read again with the size
  // the registry answers, for as long as it grows.
  std::vector<std::uint8_t> data;
  LONG status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA && size > data.size()) {
    data.resize(size);
    status = RegQueryValueExW(key.Handle(), W(ValName), nullptr, &type, data.data(), &size);
  }
  if (data.empty()) return u"";
  if (status != ERROR_SUCCESS) throw AppError(FillIn(ValueReadFailed, ValName));
  data.resize(std::min<std::size_t>(size, data.size()));
  return RegValueText(KindOf(type), data);
}

void WinSys::SetRegInfoStr(std::uint32_t Root, const std::u16string& KeyPath,
                           const std::u16string& ValName, const std::u16string& Value) {
  // The text with its terminating null.
  StoreValue(Root, KeyPath, ValName, REG_SZ, Value.c_str(), (Value.size() + 1) * sizeof(char16_t));
}

void WinSys::SetRegInfoInt(std::uint32_t Root, const std::u16string& KeyPath,
                           const std::u16string& ValName, std::int32_t Value) {
  const auto bits = static_cast<std::uint32_t>(Value);
  const std::uint8_t littleEndian[4] = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                        static_cast<std::uint8_t>(bits >> 16),
                                        static_cast<std::uint8_t>(bits >> 24)};
  StoreValue(Root, KeyPath, ValName, REG_DWORD, littleEndian, sizeof littleEndian);
}

void WinSys::RemoveRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) {
  const std::u16string subKey = SubKey(KeyPath);
  if (subKey.empty()) return;  // a root is never deleted
  DeleteKey(RootKey(Root), subKey);
}

std::u16string WinSys::FileVersion(const std::u16string& Path, bool IncBuild) {
  // version.dll is no known DLL: taken from the system folder, never imported.
  using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  const auto infoSize = SystemFunction<SizeFn>(L"version.dll", "GetFileVersionInfoSizeW");
  const auto info = SystemFunction<InfoFn>(L"version.dll", "GetFileVersionInfoW");
  const auto query = SystemFunction<QueryFn>(L"version.dll", "VerQueryValueW");
  if (!infoSize || !info || !query) return u"";

  DWORD ignored = 0;
  const DWORD size = infoSize(W(Path), &ignored);
  if (size == 0) return u"";
  std::vector<std::uint8_t> data(size);
  if (!info(W(Path), 0, size, data.data())) return u"";
  void* record = nullptr;
  UINT length = 0;
  if (!query(data.data(), L"\\", &record, &length) || !record || length < sizeof(VS_FIXEDFILEINFO))
    return u"";
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(record);
  // The file version, not the product version: major.minor.release[.build]
  std::u16string text = Decimal(HIWORD(fixed.dwFileVersionMS)) + u"." + Decimal(LOWORD(fixed.dwFileVersionMS)) +
                        u"." + Decimal(HIWORD(fixed.dwFileVersionLS));
  if (IncBuild) text += u"." + Decimal(LOWORD(fixed.dwFileVersionLS));
  return text;
}

std::int32_t WinSys::InstancesCount(const std::u16string& prog) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  const ScopedHandle closer(snapshot);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::int32_t count = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    const std::size_t length = wcsnlen(entry.szExeFile, std::size(entry.szExeFile));
    if (FromW(entry.szExeFile, length) == prog) ++count;
  }
  return count;
}

void WinSys::MemInfos(std::uint64_t& Total, std::uint64_t& Avail, std::uint64_t& Used) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  const bool haveStatus = GlobalMemoryStatusEx(&status);
  Total = haveStatus ? status.ullTotalPhys : 0;
  Avail = haveStatus ? status.ullAvailPhys : 0;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  Used = GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}
