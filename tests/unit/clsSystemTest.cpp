#include "system/clsSystem.h"

#include <gtest/gtest.h>

TEST(GenSys, EveryOperationAnswersNeutrally) {
  GenSys sys;
  sys.ShellExec(u"C:\\x.exe", 1);
  EXPECT_FALSE(sys.RegInfoKeyExists(RegRoot::CurrentUser, u"Software\\Brasmoor"));
  sys.ValidateRegInfoKey(RegRoot::CurrentUser, u"Software\\Brasmoor");
  EXPECT_FALSE(sys.RegInfoKeyExists(RegRoot::CurrentUser, u"Software\\Brasmoor"));
  sys.SetRegInfoStr(RegRoot::LocalMachine, u"Software\\Brasmoor", u"DisplayName", u"Orvelin");
  sys.SetRegInfoInt(RegRoot::LocalMachine, u"Software\\Brasmoor", u"NoModify", 1);
  EXPECT_EQ(sys.GetRegInfoValue(RegRoot::LocalMachine, u"Software\\Brasmoor", u"DisplayName"), u"");
  sys.RemoveRegInfoKey(RegRoot::CurrentUser, u"Software\\Brasmoor");
  EXPECT_EQ(sys.FileVersion(u"C:\\x.exe", true), u"");
  EXPECT_EQ(sys.InstancesCount(u"Setup_Orvelin.exe"), 0);
  std::uint64_t total = 1, avail = 1, used = 1;
  sys.MemInfos(total, avail, used);
  EXPECT_EQ(total, 0u);
  EXPECT_EQ(avail, 0u);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(sys.MemUsedRatio(), 0.0f);  // no figures: no share rather than a division by zero
}

namespace {
class FixedMemory : public GenSys {
public:
  FixedMemory(std::uint64_t avail, std::uint64_t used) : avail_(avail), used_(used) {}
  void MemInfos(std::uint64_t& Total, std::uint64_t& Avail, std::uint64_t& Used) override {
    Total = 1ull << 40;
    Avail = avail_;
    Used = used_;
  }

private:
  std::uint64_t avail_, used_;
};
}  // namespace

TEST(GenSys, MemUsedRatioIsTheShareOfTheMemoryStillOpen) {
  EXPECT_FLOAT_EQ(FixedMemory(300, 100).MemUsedRatio(), 0.25f);  // not a share of Total
  EXPECT_FLOAT_EQ(FixedMemory(0, 5).MemUsedRatio(), 1.0f);
  // Figures beyond 2^53 keep their ratio.
  EXPECT_FLOAT_EQ(FixedMemory(~0ull - (1ull << 62), 1ull << 62).MemUsedRatio(), 0.25f);
}
