// The system services on Windows: the registry, the process list, version records, the
// shell and the memory figures, each operation opening and releasing what it uses.
#pragma once
#include "system/clsSystem.h"

class WinSys : public GenSys {
public:
  void ShellExec(const std::u16string& path, std::int32_t etype) override;
  bool RegInfoKeyExists(std::uint32_t Root, const std::u16string& KeyPath) override;
  void ValidateRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) override;
  std::u16string GetRegInfoValue(std::uint32_t Root, const std::u16string& KeyPath,
                                 const std::u16string& ValName) override;
  void SetRegInfoStr(std::uint32_t Root, const std::u16string& KeyPath,
                     const std::u16string& ValName, const std::u16string& Value) override;
  void SetRegInfoInt(std::uint32_t Root, const std::u16string& KeyPath,
                     const std::u16string& ValName, std::int32_t Value) override;
  void RemoveRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) override;
  std::u16string FileVersion(const std::u16string& Path, bool IncBuild) override;
  std::int32_t InstancesCount(const std::u16string& prog) override;
  void MemInfos(std::uint64_t& Total, std::uint64_t& Avail, std::uint64_t& Used) override;
};
