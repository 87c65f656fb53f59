// The test double's exports: the two capture-service entry points the
// application calls, and the FakeCap_* control functions the tests call.
#include <cstring>

#include "tests/wine/fake_avicap32/fake_state.h"

namespace {

HINSTANCE g_module = nullptr;

void CopyBounded(char* to, int size, const char* from) {
  if (!to || size <= 0) return;
  lstrcpynA(to, from ? from : "", size);
}

void CopyBoundedWide(LPWSTR to, int size, const std::string& from) {
  if (!to || size <= 0) return;
  to[0] = 0;
  int n = MultiByteToWideChar(CP_ACP, 0, from.c_str(), -1, to, size);
  if (n == 0) to[size - 1] = 0;  // too long: MultiByteToWideChar filled it unterminated
  to[size - 1] = 0;
}

HWND CreateWindowFor(const char* title, DWORD style, int x, int y, int width, int height,
                     HWND parent, int id) {
  FakeCapCreation c{};
  CopyBounded(c.title, sizeof c.title, title);
  c.style = style;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.parent = parent;
  c.id = id;
  Fake().creations.push_back(c);
  return CreateWindowExA(0, FakeWindowClass(), title ? title : "", style, x, y, width, height,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), FakeModule(),
                         nullptr);
}

}  // namespace

HINSTANCE FakeModule() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" HWND WINAPI capCreateCaptureWindowA(LPCSTR title, DWORD style, int x, int y, int width,
                                               int height, HWND parent, int id) {
  try {
    return CreateWindowFor(title, style, x, y, width, height, parent, id);
  } catch (...) {
    return nullptr;
  }
}

extern "C" HWND WINAPI capCreateCaptureWindowW(LPCWSTR title, DWORD style, int x, int y, int width,
                                               int height, HWND parent, int id) {
  try {
    char narrow[64] = "";
    if (title && !WideCharToMultiByte(CP_ACP, 0, title, -1, narrow, sizeof narrow, nullptr, nullptr)) {
      narrow[sizeof narrow - 1] = 0;
    }
    return CreateWindowFor(narrow, style, x, y, width, height, parent, id);
  } catch (...) {
    return nullptr;
  }
}

extern "C" BOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version,
                                                int versionSize) {
  try {
    if (index >= kFakeDriverCount || !Fake().drivers[index].installed) return FALSE;
    const FakeDriver& d = Fake().drivers[index];
    CopyBounded(name, nameSize, d.name.c_str());
    CopyBounded(version, versionSize, d.version.c_str());
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

extern "C" BOOL WINAPI capGetDriverDescriptionW(UINT index, LPWSTR name, int nameSize, LPWSTR version,
                                                int versionSize) {
  try {
    if (index >= kFakeDriverCount || !Fake().drivers[index].installed) return FALSE;
    const FakeDriver& d = Fake().drivers[index];
    CopyBoundedWide(name, nameSize, d.name);
    CopyBoundedWide(version, versionSize, d.version);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

extern "C" {

void FakeCap_Reset() {
  try {
    FakeResetState();
  } catch (...) {
  }
}

void FakeCap_SetDriver(int index, const char* name, const char* version) {
  try {
    if (index < 0 || index >= kFakeDriverCount) return;
    FakeDriver& d = Fake().drivers[index];
    d.installed = name != nullptr;
    d.name = name ? name : "";
    d.version = version ? version : "";
  } catch (...) {
  }
}

void FakeCap_SetConnectResult(int index, BOOL ok) {
  if (index < 0 || index >= kFakeDriverCount) return;
  Fake().drivers[index].connectResult = ok ? 1 : 0;
}

void FakeCap_SetAnswer(UINT message, LRESULT result) {
  try {
    Fake().answers[message] = result;
  } catch (...) {
  }
}

void FakeCap_SetVideoFormat(LONG width, LONG height) {
  Fake().videoWidth = width;
  Fake().videoHeight = height;
}

void FakeCap_SetCaptureFile(const char* path) {
  try {
    Fake().captureFile = path ? path : "";
  } catch (...) {
  }
}

int FakeCap_RequestCount() { return static_cast<int>(Fake().requests.size()); }

BOOL FakeCap_GetRequest(int i, FakeCapRequest* out) {
  if (!out || i < 0 || i >= FakeCap_RequestCount()) return FALSE;
  *out = Fake().requests[static_cast<size_t>(i)];
  return TRUE;
}

int FakeCap_CreationCount() { return static_cast<int>(Fake().creations.size()); }

BOOL FakeCap_GetCreation(int i, FakeCapCreation* out) {
  if (!out || i < 0 || i >= FakeCap_CreationCount()) return FALSE;
  *out = Fake().creations[static_cast<size_t>(i)];
  return TRUE;
}

FARPROC FakeCap_GetCallback(UINT setRequest) {
  if (setRequest == WM_CAP_SET_CALLBACK_STATUSA) return Fake().statusCallback;
  if (setRequest == WM_CAP_SET_CALLBACK_ERRORA) return Fake().errorCallback;
  return nullptr;
}

void FakeCap_SetCaps(const CAPDRIVERCAPS* caps) {
  if (!caps) {
    Fake().capsOverridden = false;
    return;
  }
  Fake().caps = *caps;
  Fake().capsOverridden = true;
}

BOOL FakeCap_GetSequenceSetup(CAPTUREPARMS* out) {
  if (!out) return FALSE;
  *out = Fake().sequence;
  return TRUE;
}

}  // extern "C"
