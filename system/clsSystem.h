// The system services the installer needs beyond files and windows. GenSys answers
// every operation neutrally, so logic built on it runs without any operating-system
// service; WinSys (Windows only) serves them from the system.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

// Registry roots, as the Windows handle values.
namespace RegRoot {
inline constexpr std::uint32_t ClassesRoot = 0x80000000u;   // HKEY_CLASSES_ROOT
inline constexpr std::uint32_t CurrentUser = 0x80000001u;   // HKEY_CURRENT_USER
inline constexpr std::uint32_t LocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE
}  // namespace RegRoot

// The three error texts of the registry operations; %s is the key path or value name.
inline constexpr char16_t KeyCreationFailed[] = u"Echec à la création de la clé %s";
inline constexpr char16_t ValueReadFailed[] = u"Echec à l'obtention des données pour '%s'";
inline constexpr char16_t ValueWriteFailed[] = u"Echec à la définition des données pour '%s'";

class GenSys {
public:
  GenSys() = default;
  virtual ~GenSys() = default;

  virtual void ShellExec(const std::u16string& path, std::int32_t etype);
  virtual bool RegInfoKeyExists(std::uint32_t Root, const std::u16string& KeyPath);
  virtual void ValidateRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath);
  virtual std::u16string GetRegInfoValue(std::uint32_t Root, const std::u16string& KeyPath,
                                         const std::u16string& ValName);
  virtual void SetRegInfoStr(std::uint32_t Root, const std::u16string& KeyPath,
                             const std::u16string& ValName, const std::u16string& Value);
  virtual void SetRegInfoInt(std::uint32_t Root, const std::u16string& KeyPath,
                             const std::u16string& ValName, std::int32_t Value);
  virtual void RemoveRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath);
  virtual std::u16string FileVersion(const std::u16string& Path, bool IncBuild);
  virtual std::int32_t InstancesCount(const std::u16string& prog);
  virtual void MemInfos(std::uint64_t& Total, std::uint64_t& Avail, std::uint64_t& Used);

  // Used / (Avail + Used): the process's working set as a share of the physical memory
  // still open to it; 0 when both figures are 0.
  float MemUsedRatio();
};

// The implementation for this platform: WinSys on Windows, GenSys elsewhere.
std::unique_ptr<GenSys> MakeSystemServices();
