// Driver descriptions, connecting, capabilities and the cameras file, for
// the built-in drivers and configured odd ones.
#include <cstring>
#include <memory>
#include <string>

#include "service_fixture.h"
#include "tests/wine/support/record_sizes.h"

namespace {

const char kOddCameras[] =
    "; odd drivers\n"
    "[Driver0]\n"
    "Description=Plain\n"
    "Version=v0\n"
    "SourceDialog=0\nFormatDialog=0\nDisplayDialog=0\n"
    "[Driver3]\n"
    "Description=Broken\n"
    "ConnectFails=1\n"
    "[Driver5]\n"
    "Description=Overlay camera\n"
    "Overlay=1\n"
    "Sizes=160x120\n";

TEST_F(ServiceTest, BuiltInListHasTwoDriversAndBoundedCopies) {
  char name[200], version[200];
  EXPECT_TRUE(capGetDriverDescriptionA(0, name, sizeof name, version, sizeof version));
  EXPECT_STRNE(name, "");
  EXPECT_STRNE(version, "");
  std::string first = name;
  EXPECT_TRUE(capGetDriverDescriptionA(1, name, sizeof name, version, sizeof version));
  EXPECT_NE(first, name);
  for (UINT i = 2; i < 12; ++i)
    EXPECT_FALSE(capGetDriverDescriptionA(i, name, sizeof name, version, sizeof version)) << i;

  char small[8];
  std::memset(small, 'x', sizeof small);
  EXPECT_TRUE(capGetDriverDescriptionA(0, small, 5, nullptr, 0));
  EXPECT_EQ(std::strlen(small), 4u);
  EXPECT_EQ(first.substr(0, 4), small);
  EXPECT_EQ(small[5], 'x');  // nothing written past the given size

  WCHAR wide[200];
  EXPECT_TRUE(capGetDriverDescriptionW(0, wide, 200, nullptr, 0));
  EXPECT_EQ(static_cast<size_t>(lstrlenW(wide)), first.size());
}

TEST_F(ServiceTest, WithoutDriverEveryRequestAnswersFalse) {
  char buf[200];
  CAPDRIVERCAPS caps{};
  EXPECT_EQ(SendPtr(WM_CAP_DRIVER_GET_CAPS, sizeof caps, &caps), 0);
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT), 0);
  EXPECT_EQ(SendPtr(WM_CAP_DRIVER_GET_NAMEA, sizeof buf, buf), 0);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, 1), 0);
  EXPECT_EQ(Send(WM_CAP_SET_OVERLAY, 1), 0);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME), 0);
  EXPECT_EQ(Send(WM_CAP_EDIT_COPY), 0);
  std::string path = folder_ + "\\none.bmp";
  EXPECT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, path.c_str()), 0);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Send(WM_CAP_DRIVER_DISCONNECT), 0);
  DialogSeen seen = WithDialog([](HWND d) { PressButton(d, IDCANCEL); }, [&] {
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEOFORMAT), 0);
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEOSOURCE), 0);
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEODISPLAY), 0);
  });
  EXPECT_FALSE(seen.appeared);
  // Recording comes later: it answers FALSE for now.
  EXPECT_EQ(Send(WM_CAP_SEQUENCE), 0);
}

TEST_F(ServiceTest, ConnectsBuiltInDriverWithItsNameAndCapabilities) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  char name[200], version[200], expectName[200], expectVersion[200];
  ASSERT_TRUE(capGetDriverDescriptionA(0, expectName, 200, expectVersion, 200));
  EXPECT_TRUE(SendPtr(WM_CAP_DRIVER_GET_NAMEA, sizeof name, name));
  EXPECT_TRUE(SendPtr(WM_CAP_DRIVER_GET_VERSIONA, sizeof version, version));
  EXPECT_STREQ(name, expectName);
  EXPECT_STREQ(version, expectVersion);

  CAPDRIVERCAPS caps = Caps();
  EXPECT_EQ(sizeof caps, kDriverCapsSize);
  EXPECT_EQ(caps.wDeviceIndex, 0u);
  EXPECT_EQ(caps.fHasDlgVideoSource, 1);
  EXPECT_EQ(caps.fHasDlgVideoFormat, 1);
  EXPECT_EQ(caps.fHasDlgVideoDisplay, 1);
  EXPECT_EQ(caps.fHasOverlay, 0);

  // A short record gets only what fits.
  unsigned char partial[kDriverCapsSize];
  std::memset(partial, 0xAB, sizeof partial);
  EXPECT_TRUE(SendPtr(WM_CAP_DRIVER_GET_CAPS, 8, partial));
  EXPECT_EQ(partial[4], 0u);  // fHasOverlay low byte
  EXPECT_EQ(partial[8], 0xAB);
  // So does a short status record: the picture size, nothing past it.
  unsigned char status[sizeof(CAPSTATUS) + 8];
  std::memset(status, 0xAB, sizeof status);
  EXPECT_TRUE(SendPtr(WM_CAP_GET_STATUS, 8, status));
  UINT width = 0;
  std::memcpy(&width, status, sizeof width);  // uiImageWidth
  EXPECT_EQ(width, 320u);
  EXPECT_EQ(status[8], 0xAB);
  // A name buffer of one character gets only its terminator.
  char one[2] = {'x', 'x'};
  EXPECT_TRUE(SendPtr(WM_CAP_DRIVER_GET_NAMEA, 1, one));
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(one[1], 'x');

  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  EXPECT_EQ(Caps().wDeviceIndex, 1u);
  EXPECT_EQ(Caps().fHasOverlay, 1);
  EXPECT_EQ(Send(WM_CAP_DRIVER_DISCONNECT), TRUE);
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT), 0);
}

TEST_F(ServiceTest, ConfiguredOddDriversFailGapAndLackDialogs) {
  UseCameras(kOddCameras);
  char name[200], version[200];
  EXPECT_TRUE(capGetDriverDescriptionA(0, name, 200, version, 200));
  EXPECT_STREQ(name, "Plain");
  EXPECT_STREQ(version, "v0");
  EXPECT_FALSE(capGetDriverDescriptionA(1, name, 200, version, 200));  // gap
  EXPECT_TRUE(capGetDriverDescriptionA(3, name, 200, version, 200));
  EXPECT_TRUE(capGetDriverDescriptionA(5, name, 200, version, 200));

  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), 0);  // nothing installed there
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 3), 0);  // fails to connect
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 10), 0);

  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  CAPDRIVERCAPS caps = Caps();
  EXPECT_EQ(caps.fHasDlgVideoSource, 0);
  EXPECT_EQ(caps.fHasDlgVideoFormat, 0);
  EXPECT_EQ(caps.fHasDlgVideoDisplay, 0);
  DialogSeen seen = WithDialog([](HWND d) { PressButton(d, IDCANCEL); }, [&] {
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEOFORMAT), 0);
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEOSOURCE), 0);
    EXPECT_EQ(Send(WM_CAP_DLG_VIDEODISPLAY), 0);
  });
  EXPECT_FALSE(seen.appeared);

  // A failed connection leaves no driver behind.
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 3), 0);
  EXPECT_EQ(Caps().fCaptureInitialized, 0);
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT), 0);

  // Switching back to the built-in list within one process.
  UseCameras("");
  EXPECT_FALSE(capGetDriverDescriptionA(5, name, 200, version, 200));
  EXPECT_TRUE(capGetDriverDescriptionA(1, name, 200, version, 200));
}

TEST_F(ServiceTest, OverlayOnlyWhereTheDriverHasIt) {
  UseCameras(kOddCameras);
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_OVERLAY, 1), 0);
  EXPECT_EQ(Status().fLiveWindow, TRUE);  // unchanged
  EXPECT_EQ(Status().fOverlayWindow, FALSE);

  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 5), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_OVERLAY, 1), TRUE);
  EXPECT_EQ(Status().fOverlayWindow, TRUE);
  EXPECT_EQ(Status().fLiveWindow, FALSE);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  EXPECT_EQ(Status().fOverlayWindow, FALSE);
  EXPECT_EQ(Status().fLiveWindow, TRUE);
}

TEST_F(ServiceTest, MalformedCamerasFileGivesBuiltInListAndOneErrorReport) {
  UseCameras("[Driver0]\nDescription=ok\nthis line is broken\n");
  char name[200], version[200], builtIn[200];
  EXPECT_TRUE(capGetDriverDescriptionA(1, name, 200, version, 200));  // built-in list stands
  std::string malformedName = name;
  UseCameras("");
  capGetDriverDescriptionA(1, builtIn, 200, version, 200);
  EXPECT_EQ(malformedName, builtIn);
  UseCameras("[Driver0]\nDescription=ok\nthis line is broken\n");

  // Reported once the error procedure is there, with the line in the text.
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_TRUE(ErrorReports().empty());
  SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_DRIVER_ERROR);
  EXPECT_NE(ErrorReports()[0].text.find("line 3"), std::string::npos) << ErrorReports()[0].text;
  EXPECT_NE(ErrorReports()[0].text.find("cameras"), std::string::npos);
  // Not again for the same file.
  Send(WM_CAP_DRIVER_CONNECT, 1);
  Send(WM_CAP_DRIVER_CONNECT, 0);
  EXPECT_EQ(ErrorReports().size(), 1u);

  SetEnvironmentVariableA("MORVA_CAMERAS", (folder_ + "\\missing.ini").c_str());
  EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);  // built-in list
  ASSERT_EQ(ErrorReports().size(), 2u);
  EXPECT_NE(ErrorReports()[1].text.find("missing.ini"), std::string::npos);
}

struct Listing {
  WCHAR name[64] = L"";
  BOOL found = FALSE;
};

DWORD WINAPI ListDriver3(LPVOID p) {
  Listing* l = static_cast<Listing*>(p);
  l->found = capGetDriverDescriptionW(3, l->name, 64, nullptr, 0);
  return 0;
}

// Marked files install their drivers (UTF-16 as the wide text's own bytes,
// little-endian); a pipe that never writes, devices and an oversized file
// are not waited on and are reported for what they are.
TEST_F(ServiceTest, CamerasFileMarksDevicesAndSize) {
  // One instance: a listing that opened it would leave the connection none.
  const char kPipe[] = "\\\\.\\pipe\\morva_cameras_test";
  HANDLE pipe = CreateNamedPipeA(kPipe, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  const std::wstring utf16 = L"\uFEFF[Driver3]\r\nDescription=Cam\u00e9ra\r\n";
  struct Case {
    const char* what;
    std::string path, bytes;  // a path of its own, else a file of these bytes
    const char* problem;      // in the error report; none: driver 3 is installed
  } cases[] = {
      {"UTF-8 mark", "", "\xEF\xBB\xBF[Driver3]\r\nDescription=Cam\xC3\xA9ra\r\n", nullptr},
      {"UTF-16 mark", "", std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * sizeof(WCHAR)),
       nullptr},
      {"10 MB", "", std::string(10 << 20, ';'), "too large"},
      {"pipe", kPipe, "", "not a regular file"},
      {"device", "COM1", "", "COM1 is not a regular file"},
      {"endless device", "Z:\\dev\\zero", "", "zero is not a regular file"},
  };
  SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.path.empty()) UseCameras(c.bytes);
    else SetEnvironmentVariableA("MORVA_CAMERAS", c.path.c_str());
    Listing* listing = new Listing;  // not freed while a listing may still fill it
    HANDLE t = CreateThread(nullptr, 0, ListDriver3, listing, 0, nullptr);
    ASSERT_NE(t, nullptr);
    bool listed = WaitForSingleObject(t, 10000) == WAIT_OBJECT_0;
    CloseHandle(t);
    ASSERT_TRUE(listed) << "driver listing blocked";
    std::unique_ptr<Listing> done(listing);
    ErrorReports().clear();
    ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, c.problem ? 0 : 3), TRUE);
    if (c.problem) {
      EXPECT_FALSE(listing->found);
      ASSERT_EQ(ErrorReports().size(), 1u);
      EXPECT_NE(ErrorReports()[0].text.find(c.problem), std::string::npos) << ErrorReports()[0].text;
    } else {
      EXPECT_TRUE(listing->found);
      EXPECT_STREQ(listing->name, L"Cam\u00e9ra");
      EXPECT_TRUE(ErrorReports().empty()) << ErrorReports()[0].text;
    }
  }
  CloseHandle(pipe);
}

TEST_F(ServiceTest, ReportsGoOnlyToInstalledProcedures) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(RecordStatus));
  Send(WM_CAP_SET_PREVIEW, 1);
  ASSERT_EQ(StatusReports().size(), 1u);
  EXPECT_EQ(StatusReports()[0].id, IDS_CAP_STAT_LIVE_MODE);
  Send(WM_CAP_SET_PREVIEW, 0);
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, nullptr);
  Send(WM_CAP_SET_PREVIEW, 1);
  EXPECT_EQ(StatusReports().size(), 1u);
}

TEST_F(ServiceTest, WideFormsOfTheWindowAndItsTexts) {
  HWND wide = capCreateCaptureWindowW(L"wide", WS_CHILD | WS_VISIBLE, 0, 0, 160, 120, parent_, 1);
  ASSERT_NE(wide, nullptr);
  ASSERT_EQ(SendMessageW(wide, WM_CAP_DRIVER_CONNECT, 1, 0), TRUE);
  WCHAR name[200], small[4];
  char expect[200];
  ASSERT_TRUE(capGetDriverDescriptionA(1, expect, 200, nullptr, 0));
  EXPECT_TRUE(SendMessageW(wide, WM_CAP_DRIVER_GET_NAMEW, 200, reinterpret_cast<LPARAM>(name)));
  EXPECT_EQ(static_cast<size_t>(lstrlenW(name)), std::strlen(expect));
  EXPECT_EQ(name[0], static_cast<WCHAR>(expect[0]));
  EXPECT_TRUE(SendMessageW(wide, WM_CAP_FILE_SET_CAPTURE_FILEW, 0,
                           reinterpret_cast<LPARAM>(L"C:\\wide.avi")));
  EXPECT_TRUE(SendMessageW(wide, WM_CAP_FILE_GET_CAPTURE_FILEW, 4, reinterpret_cast<LPARAM>(small)));
  EXPECT_EQ(lstrcmpW(small, L"C:\\"), 0);  // three characters and the terminator
  DestroyWindow(wide);
}

}  // namespace
