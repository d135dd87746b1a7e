// Puts a function of the test's own in place of a system function that the test program
// imports, for the hook's lifetime: the program's code (WinSys, the dialogs) linked into
// the test then calls it instead. The replacement may call the system's function, kept
// in Original(), to make a failure happen at a chosen moment.
#pragma once
#include <windows.h>

#include <vector>

class ImportHook {
public:
  // dll as the import table names it ("ADVAPI32.dll", without regard to case).
  ImportHook(const char* dll, const char* function, void* replacement);
  ~ImportHook();
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  // False when the test program imports no such function.
  bool Installed() const { return !slots_.empty(); }
  template <typename Function>
  Function Original() const {
    return reinterpret_cast<Function>(original_);
  }

private:
  std::vector<void**> slots_;  // the import address table's entries of the function
  void* original_ = nullptr;
};
