// Looks up the test double's control functions once.
#include "tests/wine/support/fake_cap_api.h"

#include <cstdio>
#include <cstdlib>

namespace {

template <typename T>
void Find(HMODULE dll, const char* name, T& out) {
  out = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
  if (!out) {
    std::fprintf(stderr, "fake avicap32.dll: %s missing (is the real service loaded?)\n", name);
    std::abort();
  }
}

FakeCapFunctions Load() {
  HMODULE dll = GetModuleHandleA("avicap32.dll");
  if (!dll) dll = LoadLibraryA("avicap32.dll");
  if (!dll) {
    std::fprintf(stderr, "fake avicap32.dll: cannot be loaded\n");
    std::abort();
  }
  FakeCapFunctions f{};
  Find(dll, "FakeCap_Reset", f.Reset);
  Find(dll, "FakeCap_SetDriver", f.SetDriver);
  Find(dll, "FakeCap_SetConnectResult", f.SetConnectResult);
  Find(dll, "FakeCap_SetAnswer", f.SetAnswer);
  Find(dll, "FakeCap_SetVideoFormat", f.SetVideoFormat);
  Find(dll, "FakeCap_SetCaptureFile", f.SetCaptureFile);
  Find(dll, "FakeCap_RequestCount", f.RequestCount);
  Find(dll, "FakeCap_GetRequest", f.GetRequest);
  Find(dll, "FakeCap_CreationCount", f.CreationCount);
  Find(dll, "FakeCap_GetCreation", f.GetCreation);
  Find(dll, "FakeCap_GetCallback", f.GetCallback);
  Find(dll, "FakeCap_SetCaps", f.SetCaps);
  Find(dll, "FakeCap_GetSequenceSetup", f.GetSequenceSetup);
  return f;
}

}  // namespace

const FakeCapFunctions& FakeCapApi() {
  static const FakeCapFunctions functions = Load();
  return functions;
}

std::vector<FakeCapRequest> FakeCapRequests() {
  std::vector<FakeCapRequest> all;
  const int n = FakeCapApi().RequestCount();
  for (int i = 0; i < n; ++i) {
    FakeCapRequest r{};
    if (FakeCapApi().GetRequest(i, &r)) all.push_back(r);
  }
  return all;
}

std::vector<UINT> FakeCapRequestNumbers() {
  std::vector<UINT> numbers;
  for (const FakeCapRequest& r : FakeCapRequests()) numbers.push_back(r.message);
  return numbers;
}
