// A GenSys with an in-memory registry and a settable process list, for driving the
// start-up and the runs without any system behind them. Keys and value names compare
// without regard to ASCII case, as the Windows registry's do.
#pragma once
#include <map>
#include <set>
#include <string>
#include <variant>

#include "system/clsSystem.h"

class MemoryRegistry : public GenSys {
public:
  using Data = std::variant<std::u16string, std::int32_t>;

  bool RegInfoKeyExists(std::uint32_t Root, const std::u16string& KeyPath) override;
  void ValidateRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) override;
  std::u16string GetRegInfoValue(std::uint32_t Root, const std::u16string& KeyPath,
                                 const std::u16string& ValName) override;
  void SetRegInfoStr(std::uint32_t Root, const std::u16string& KeyPath,
                     const std::u16string& ValName, const std::u16string& Value) override;
  void SetRegInfoInt(std::uint32_t Root, const std::u16string& KeyPath,
                     const std::u16string& ValName, std::int32_t Value) override;
  void RemoveRegInfoKey(std::uint32_t Root, const std::u16string& KeyPath) override;
  std::int32_t InstancesCount(const std::u16string& prog) override;

  // The processes that run, by executable name (exact, case-sensitive).
  std::map<std::u16string, int> Running;
  // Value names whose writes the "system" refuses.
  std::set<std::u16string> RefusedValues;

  // The stored data of a value, if any (for checks).
  const Data* Find(std::uint32_t Root, const std::u16string& KeyPath, const std::u16string& ValName) const;
  std::size_t ValueCount(std::uint32_t Root, const std::u16string& KeyPath) const;

private:
  using Values = std::map<std::u16string, Data>;  // by folded name
  struct KeyId {
    std::uint32_t Root;
    std::u16string Path;  // folded, without leading "\"
    auto operator<=>(const KeyId&) const = default;
  };
  static KeyId Id(std::uint32_t Root, const std::u16string& KeyPath);
  void Create(const KeyId& id);
  void Store(std::uint32_t Root, const std::u16string& KeyPath, const std::u16string& ValName, Data data);

  std::map<KeyId, Values> keys_;
};
