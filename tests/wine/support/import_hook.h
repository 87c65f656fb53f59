// Replaces one imported function in this executable's import address table,
// so a test can count and record the calls the code under test makes (the
// profile functions, for one). The original is restored on destruction.
#ifndef MORVA_TESTS_SUPPORT_IMPORT_HOOK_H
#define MORVA_TESTS_SUPPORT_IMPORT_HOOK_H

#include <windows.h>

class ImportHook {
 public:
  // dll: e.g. "kernel32.dll" (case does not matter); function: its name.
  ImportHook(const char* dll, const char* function, void* replacement);
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;
  ~ImportHook();

  bool installed() const { return slot_ != nullptr; }
  void* original() const { return original_; }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

#endif
