#include "system/clsSystem.h"

void GenSys::ShellExec(const std::u16string&, std::int32_t) {}
bool GenSys::RegInfoKeyExists(std::uint32_t, const std::u16string&) { return false; }
void GenSys::ValidateRegInfoKey(std::uint32_t, const std::u16string&) {}
std::u16string GenSys::GetRegInfoValue(std::uint32_t, const std::u16string&, const std::u16string&) {
  return u"";
}
void GenSys::SetRegInfoStr(std::uint32_t, const std::u16string&, const std::u16string&,
                           const std::u16string&) {}
void GenSys::SetRegInfoInt(std::uint32_t, const std::u16string&, const std::u16string&, std::int32_t) {}
void GenSys::RemoveRegInfoKey(std::uint32_t, const std::u16string&) {}
std::u16string GenSys::FileVersion(const std::u16string&, bool) { return u""; }
std::int32_t GenSys::InstancesCount(const std::u16string&) { return 0; }
void GenSys::MemInfos(std::uint64_t& Total, std::uint64_t& Avail, std::uint64_t& Used) {
  Total = Avail = Used = 0;
}

float GenSys::MemUsedRatio() {
  std::uint64_t total = 0, avail = 0, used = 0;
  MemInfos(total, avail, used);
  const long double open = static_cast<long double>(avail) + static_cast<long double>(used);
  if (open == 0) return 0.0f;
  return static_cast<float>(static_cast<long double>(used) / open);
}
