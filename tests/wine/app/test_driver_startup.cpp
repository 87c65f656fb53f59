// Start-up connection: the capture window's creation, the remembered driver,
// the scan for another one, and the order of everything start-up asks of the
// capture window afterwards.
#include "tests/wine/app/test_driver_fixture.h"

#include "capture/driver_connection.h"
#include "ui/status_report.h"

namespace driver_test {
namespace {

using Lines = std::vector<std::string>;

// What start-up sends after the connection attempts, with the defaults:
// capabilities, 66 ms for 15 frames a second, the view, the centring and the
// two report procedures, status first.
Lines AfterConnecting(int previewRate = 66, int overlay = 1) {
  return {GetCapsLine(),   "PREVIEWRATE " + std::to_string(previewRate),
          "PREVIEW 1",     "OVERLAY " + std::to_string(overlay),
          "VIDEOFORMAT",   "CALLBACK_STATUS",
          "CALLBACK_ERROR"};
}

Lines Then(Lines first, const Lines& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

class StartupTest : public ContextTest {};

TEST_F(StartupTest, CreatesTheCaptureWindowInTheVideoFrame) {
  Drivers({0});
  EXPECT_EQ(1, ConnectAtStartup());

  ASSERT_EQ(1, FakeCapApi().CreationCount());
  FakeCapCreation c{};
  ASSERT_TRUE(FakeCapApi().GetCreation(0, &c));
  EXPECT_STREQ("", c.title);
  EXPECT_EQ(0x50400000u, c.style);
  EXPECT_EQ(0, c.x);
  EXPECT_EQ(0, c.y);
  EXPECT_EQ(240, c.width);
  EXPECT_EQ(120, c.height);
  EXPECT_EQ(g_context.videoFrameWindow, c.parent);
  EXPECT_EQ(0, c.id);
  ASSERT_TRUE(IsWindow(g_context.captureWindow));
  EXPECT_EQ(g_context.videoFrameWindow, GetParent(g_context.captureWindow));
}

TEST_F(StartupTest, SavedDriverThatConnectsIsKeptWithoutAScan) {
  Drivers({0, 1, 2});
  g_context.settings.DriverID = 2;
  ConnectAtStartup();
  EXPECT_EQ(Then({"CONNECT 2"}, AfterConnecting()), Log());
  EXPECT_EQ(2, g_context.settings.DriverID);
}

TEST_F(StartupTest, CapabilitiesOfTheConnectedDriverAreKept) {
  Drivers({0, 1});
  g_context.settings.DriverID = 1;
  ConnectAtStartup();
  EXPECT_EQ(1u, g_context.driverCaps.wDeviceIndex);  // the double reports the connected index
  EXPECT_NE(0, g_context.driverCaps.fHasDlgVideoSource);
}

TEST_F(StartupTest, ReportProceduresAreTheStatusAndErrorProcedures) {
  Drivers({0});
  ConnectAtStartup();
  EXPECT_EQ(reinterpret_cast<FARPROC>(&StatusProcedure),
            FakeCapApi().GetCallback(WM_CAP_SET_CALLBACK_STATUSA));
  EXPECT_EQ(reinterpret_cast<FARPROC>(&ErrorProcedure),
            FakeCapApi().GetCallback(WM_CAP_SET_CALLBACK_ERRORA));
}

TEST_F(StartupTest, SavedDriverThatFailsFallsBackToTheFirstThatConnects) {
  Drivers({0, 1, 2, 3});
  Refuses(3);
  Refuses(0);
  g_context.settings.DriverID = 3;
  ConnectAtStartup();
  EXPECT_EQ(Then({"CONNECT 3", "CONNECT 0", "CONNECT 1"}, AfterConnecting()), Log());
  EXPECT_EQ(1, g_context.settings.DriverID);
}

TEST_F(StartupTest, ScanWithoutARememberedDriverStopsAtTheFirstThatConnects) {
  Drivers({0, 1, 2});
  g_context.settings.DriverID = -1;
  ConnectAtStartup();
  EXPECT_EQ(Then({"CONNECT 0"}, AfterConnecting()), Log());
  EXPECT_EQ(0, g_context.settings.DriverID);
}

TEST_F(StartupTest, RememberedIndexOutsideTheDriversIsTriedThenScanned) {
  Drivers({0});
  g_context.settings.DriverID = 42;  // as a hand-edited settings file may hold
  ConnectAtStartup();
  EXPECT_EQ(Then({"CONNECT 42", "CONNECT 0"}, AfterConnecting()), Log());
  EXPECT_EQ(0, g_context.settings.DriverID);
}

TEST_F(StartupTest, ScanEndsAtTheFirstIndexWithoutADriver) {
  Drivers({0, 2});
  Refuses(0);
  g_context.settings.DriverID = -1;
  ConnectAtStartup();
  EXPECT_EQ(Then({"CONNECT 0"}, AfterConnecting()), Log());  // 2 lies beyond the gap
  EXPECT_EQ(-1, g_context.settings.DriverID);
}

TEST_F(StartupTest, NoDriverAcceptingLeavesNone) {
  Drivers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  for (int i = 0; i < 10; ++i) Refuses(i);
  ConnectAtStartup();
  Lines connects;
  for (int i = 0; i < 10; ++i) connects.push_back("CONNECT " + std::to_string(i));
  // The saved 0 first, then the whole scan, which stops after index 9.
  EXPECT_EQ(Then(Then({"CONNECT 0"}, connects), AfterConnecting()), Log());
  EXPECT_EQ(-1, g_context.settings.DriverID);
}

TEST_F(StartupTest, NoDriverInstalledSendsNoScanConnect) {
  g_context.settings.DriverID = -1;
  ConnectAtStartup();
  EXPECT_EQ(AfterConnecting(), Log());
  EXPECT_EQ(-1, g_context.settings.DriverID);
}

TEST_F(StartupTest, FrameRatesThatCannotDivideCountAsOneFramePerSecond) {
  for (int rate : {0, -5}) {
    FakeCapApi().Reset();
    Drivers({0});
    g_context.settings.FrameRate = rate;
    ConnectAtStartup();
    EXPECT_EQ(Then({"CONNECT 0"}, AfterConnecting(1000)), Log()) << rate;
    EXPECT_EQ(rate, g_context.settings.FrameRate) << "the setting stays as loaded";
    DestroyWindow(g_context.captureWindow);
  }
}

TEST_F(StartupTest, OverlayOnlyForUseOverlayOne) {
  for (int useOverlay : {0, 2, -1}) {
    FakeCapApi().Reset();
    Drivers({0});
    g_context.settings.UseOverlay = useOverlay;
    g_context.settings.FrameRate = 30;
    ConnectAtStartup();
    EXPECT_EQ(Then({"CONNECT 0"}, AfterConnecting(33, 0)), Log()) << useOverlay;
    DestroyWindow(g_context.captureWindow);
  }
}

}  // namespace
}  // namespace driver_test
