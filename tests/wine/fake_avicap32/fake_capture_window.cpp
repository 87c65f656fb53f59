// The test double's capture window: a real child window that records every
// WM_CAP_* request it receives and answers it as configured.
#include <cstring>

#include "tests/wine/fake_avicap32/fake_state.h"

namespace {

void CopyBounded(char* to, size_t size, const char* from) {
  if (!to || size == 0) return;
  if (!from) from = "";
  lstrcpynA(to, from, static_cast<int>(size));
}

// Copies at most `room` bytes of `what` to `to`; returns the bytes copied.
LRESULT CopyRecord(LPARAM to, WPARAM room, const void* what, size_t size) {
  if (!to) return 0;
  const size_t n = room < size ? room : size;
  std::memcpy(reinterpret_cast<void*>(to), what, n);
  return static_cast<LRESULT>(n);
}

bool HasText(UINT message) {
  return message == WM_CAP_FILE_SET_CAPTURE_FILEA || message == WM_CAP_FILE_GET_CAPTURE_FILEA ||
         message == WM_CAP_FILE_SAVEASA || message == WM_CAP_FILE_SAVEDIBA;
}

LRESULT Connect(FakeState& s, WPARAM index) {
  if (index >= kFakeDriverCount) return FALSE;
  const FakeDriver& d = s.drivers[index];
  const bool ok = d.connectResult == -1 ? d.installed : d.connectResult != 0;
  if (!ok) return FALSE;
  s.connectedIndex = static_cast<int>(index);
  return TRUE;
}

LRESULT GetCaps(FakeState& s, WPARAM size, LPARAM buffer) {
  if (s.connectedIndex < 0 || !buffer) return FALSE;
  CAPDRIVERCAPS caps = s.caps;
  if (!s.capsOverridden) {
    caps = CAPDRIVERCAPS{};
    caps.wDeviceIndex = static_cast<UINT>(s.connectedIndex);
    caps.fHasDlgVideoSource = TRUE;
    caps.fHasDlgVideoFormat = TRUE;
    caps.fHasDlgVideoDisplay = TRUE;
    caps.fCaptureInitialized = TRUE;
  }
  CopyRecord(buffer, size, &caps, sizeof caps);
  return TRUE;
}

LRESULT GetVideoFormat(FakeState& s, WPARAM size, LPARAM buffer) {
  if (s.videoWidth == 0) return 0;
  if (size == 0 && buffer == 0) return sizeof(BITMAPINFOHEADER);
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = s.videoWidth;
  h.biHeight = s.videoHeight;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  return CopyRecord(buffer, size, &h, sizeof h);
}

LRESULT GetCaptureFile(FakeState& s, WPARAM size, LPARAM buffer) {
  if (!buffer || size == 0) return FALSE;
  CopyBounded(reinterpret_cast<char*>(buffer), size, s.captureFile.c_str());
  return TRUE;
}

LRESULT Answer(FakeState& s, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_CAP_SET_CALLBACK_STATUSA: s.statusCallback = reinterpret_cast<FARPROC>(second); return TRUE;
    case WM_CAP_SET_CALLBACK_ERRORA: s.errorCallback = reinterpret_cast<FARPROC>(second); return TRUE;
    case WM_CAP_DRIVER_CONNECT: return Connect(s, first);
    case WM_CAP_DRIVER_DISCONNECT: s.connectedIndex = -1; return TRUE;
    case WM_CAP_DRIVER_GET_CAPS: return GetCaps(s, first, second);
    case WM_CAP_GET_VIDEOFORMAT: return GetVideoFormat(s, first, second);
    case WM_CAP_FILE_GET_CAPTURE_FILEA: return GetCaptureFile(s, first, second);
    case WM_CAP_FILE_SET_CAPTURE_FILEA:
      if (!second) return FALSE;
      s.captureFile = reinterpret_cast<const char*>(second);
      return TRUE;
    case WM_CAP_GET_SEQUENCE_SETUP:
      return CopyRecord(second, first, &s.sequence, sizeof s.sequence) ? TRUE : FALSE;
    case WM_CAP_SET_SEQUENCE_SETUP:
      if (!second) return FALSE;
      std::memcpy(&s.sequence, reinterpret_cast<const void*>(second),
                  first < sizeof s.sequence ? first : sizeof s.sequence);
      return TRUE;
    case WM_CAP_GET_AUDIOFORMAT:
      if (first == 0 && second == 0) return sizeof(WAVEFORMATEX);
      return CopyRecord(second, first, &s.audio, sizeof s.audio);
    case WM_CAP_SET_AUDIOFORMAT:
      if (!second) return FALSE;
      std::memcpy(&s.audio, reinterpret_cast<const void*>(second),
                  first < sizeof s.audio ? first : sizeof s.audio);
      return TRUE;
    default: return TRUE;
  }
}

LRESULT HandleRequest(HWND window, UINT message, WPARAM first, LPARAM second) {
  FakeState& s = Fake();
  FakeCapRequest r{};
  r.message = message;
  r.first = first;
  r.second = second;
  r.driverIndex = message == WM_CAP_DRIVER_CONNECT ? static_cast<int>(first) : -1;
  const bool text = HasText(message);
  if (text && message != WM_CAP_FILE_GET_CAPTURE_FILEA) {
    CopyBounded(r.text, sizeof r.text, reinterpret_cast<const char*>(second));
  }
  LRESULT result;
  auto fixed = s.answers.find(message);
  if (fixed != s.answers.end()) {
    result = fixed->second;
  } else {
    result = Answer(s, message, first, second);
  }
  if (message == WM_CAP_FILE_GET_CAPTURE_FILEA && second && first > 0 && fixed == s.answers.end()) {
    CopyBounded(r.text, sizeof r.text, reinterpret_cast<const char*>(second));
  }
  s.requests.push_back(r);
  (void)window;
  return result;
}

}  // namespace

LRESULT CALLBACK FakeCaptureWindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  try {
    if (message >= WM_CAP_START && message <= WM_CAP_END) {
      return HandleRequest(window, message, first, second);
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(window, message, first, second);
}

const char* FakeWindowClass() {
  static const char kName[] = "MorvaFakeCaptureWindow";
  static bool registered = false;
  if (!registered) {
    WNDCLASSA c{};
    c.lpfnWndProc = FakeCaptureWindowProcedure;
    c.hInstance = FakeModule();
    c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    c.lpszClassName = kName;
    registered = RegisterClassA(&c) != 0;
  }
  return kName;
}
