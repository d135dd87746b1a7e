// WinSys against Wine's process list, version records, shell and memory figures, with
// copies of the small program TestWaiter.exe (version 6.1.10.1) built beside the tests.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/winSys.h"
#include "tests/win/importHook.h"
#include "tests/support/tempDir.h"
#include "tests/win/winTestSupport.h"
#include "util/fileSystem.h"
#include "util/textCodec.h"

namespace {

const std::u16string WaiterName = u"TestWaiter.exe";

std::u16string BuiltWaiter() { return TestProgramFolder() + u"\\" + WaiterName; }

std::u16string FileName(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

// Ends every process of that executable name.
void KillAll(const std::u16string& name) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (FromW(entry.szExeFile) != name) continue;
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, INFINITE);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

// Copies of the waiting program in a temporary folder; every copy that runs is ended
// with the fixture.
class WinSysProcesses : public testing::Test {
protected:
  void SetUp() override {
    started_ = CreateSemaphoreW(nullptr, 0, 100, L"OrvelinTestWaiterStarted");
    ASSERT_NE(started_, nullptr);
  }
  void TearDown() override {
    for (const std::u16string& name : names_) KillAll(name);
    CloseHandle(started_);
  }

  // A copy of the program under that name, in a folder of its own below the temporary one.
  std::u16string Copy(const std::u16string& folder, const std::u16string& name) {
    const std::u16string dir = temp_ / folder;
    fsys::MakeDir(dir);
    const std::u16string path = dir + u"\\" + name;
    EXPECT_TRUE(CopyFileW(W(BuiltWaiter()), W(path), TRUE));
    names_.push_back(name);
    return path;
  }

  void Start(const std::u16string& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::u16string commandLine = u"\"" + path + u"\"";
    ASSERT_TRUE(CreateProcessW(W(path), const_cast<wchar_t*>(W(commandLine)), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    WaitUntilStarted();
  }

  // Waits for the started copy's signal; the bound only keeps a broken run from hanging.
  void WaitUntilStarted() { ASSERT_EQ(WaitForSingleObject(started_, 60000), WAIT_OBJECT_0); }

  // The show mode that a started copy received.
  static std::string ShowModeOf(const std::u16string& path) { return ReadAll(path + u".show"); }

  WinSys sys;
  TempDir temp_;

private:
  HANDLE started_ = nullptr;
  std::vector<std::u16string> names_;
};

TEST_F(WinSysProcesses, CountsRunningCopiesByTheirExactFileName) {
  const std::u16string waiter = Copy(u"a", WaiterName);
  const std::u16string renamed = Copy(u"b", u"OtherWaiter.exe");
  const std::u16string lowered = Copy(u"c", u"testwaiter.exe");
  EXPECT_EQ(sys.InstancesCount(WaiterName), 0);

  Start(waiter);
  Start(waiter);
  Start(renamed);
  Start(lowered);
  EXPECT_EQ(sys.InstancesCount(WaiterName), 2);
  EXPECT_EQ(sys.InstancesCount(u"OtherWaiter.exe"), 1);
  EXPECT_EQ(sys.InstancesCount(u"testwaiter.exe"), 1);
  for (const std::u16string other : {u"TESTWAITER.EXE", u"TestWaiter", u"estWaiter.exe", u""})
    EXPECT_EQ(sys.InstancesCount(other), 0) << Utf16ToUtf8(other);

  KillAll(WaiterName);
  EXPECT_EQ(sys.InstancesCount(WaiterName), 0);
}

TEST_F(WinSysProcesses, TheRunningProgramCountsItself) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_GE(sys.InstancesCount(FileName(FromW(self, length))), 1);
}

// When the system cannot take the snapshot, the walk finds nothing: 0, even for the
// running program itself.
HANDLE WINAPI NoSnapshot(DWORD, DWORD) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return INVALID_HANDLE_VALUE;
}

TEST_F(WinSysProcesses, WithoutASnapshotTheCountIsZero) {
  wchar_t self[MAX_PATH];
  const std::u16string name = FileName(FromW(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
  {
    const ImportHook refuse("KERNEL32.dll", "CreateToolhelp32Snapshot",
                            reinterpret_cast<void*>(&NoSnapshot));
    ASSERT_TRUE(refuse.Installed());
    EXPECT_EQ(sys.InstancesCount(name), 0);
  }
  EXPECT_GE(sys.InstancesCount(name), 1);
}

TEST_F(WinSysProcesses, FileVersionIsTheFixedFileVersion) {
  EXPECT_EQ(sys.FileVersion(BuiltWaiter(), true), u"6.1.10.1");
  EXPECT_EQ(sys.FileVersion(BuiltWaiter(), false), u"6.1.10");

  const std::u16string text = temp_ / u"lisez-moi.txt";
  WriteAll(text, "pas de version ici\r\n");
  EXPECT_EQ(sys.FileVersion(text, true), u"");
  EXPECT_EQ(sys.FileVersion(temp_ / u"absent.exe", false), u"");
}

TEST_F(WinSysProcesses, MemoryFiguresAreThoseOfTheMachineAndTheProcess) {
  std::uint64_t total = 0, avail = 0, used = 0;
  sys.MemInfos(total, avail, used);
  EXPECT_GT(total, 0u);
  EXPECT_LE(avail, total);
  EXPECT_GT(used, 0u);
  const float ratio = sys.MemUsedRatio();
  EXPECT_GT(ratio, 0.0f);
  EXPECT_LT(ratio, 1.0f);
}

TEST_F(WinSysProcesses, ShellExecStartsByTypeAndOtherwiseNothing) {
  const std::u16string ignored = Copy(u"a", u"NeverWaiter.exe");
  const std::u16string opened = Copy(u"b", u"OpenWaiter.exe");
  const std::u16string hidden = Copy(u"c", u"HiddenWaiter.exe");

  // ShellExecuteW creates the process before it returns: a start would show at once.
  for (const int etype : {2, -1})
    sys.ShellExec(ignored, etype);
  EXPECT_EQ(sys.InstancesCount(u"NeverWaiter.exe"), 0);

  sys.ShellExec(opened, 1);
  WaitUntilStarted();
  EXPECT_EQ(sys.InstancesCount(u"OpenWaiter.exe"), 1);
  EXPECT_EQ(ShowModeOf(opened), std::to_string(SW_SHOWNORMAL));

  sys.ShellExec(hidden, 0);
  WaitUntilStarted();
  EXPECT_EQ(sys.InstancesCount(u"HiddenWaiter.exe"), 1);
  EXPECT_EQ(ShowModeOf(hidden), std::to_string(SW_HIDE));

  EXPECT_EQ(sys.InstancesCount(u"NeverWaiter.exe"), 0);
  EXPECT_FALSE(fsys::IsFile(ignored + u".show"));
}

}  // namespace
