// The status and error procedures: status bar text, the main window's title
// and message boxes (observed and closed by the dialog watcher).
#include <string>

#include "tests/wine/app/shell_fixture.h"
#include "ui/status_report.h"

namespace {

class StatusReportTest : public ShellTest {
 protected:
  std::string Title() { return Text(g_context.mainWindow); }
  std::string Status() { return Text(g_context.statusWindow); }
};

TEST_F(StatusReportTest, VideoCurrentSetsTitleAndStatusUntilTheEndRestoresTheCaption) {
  EXPECT_EQ(1, StatusProcedure(g_context.captureWindow, 510, "Captured 10 frames"));
  EXPECT_EQ("Status : 510 Captured 10 frames", Title());
  EXPECT_EQ("Status : 510 Captured 10 frames", Status());

  // Other progress reports change the status bar only.
  EXPECT_EQ(1, StatusProcedure(g_context.captureWindow, 508, "Capturing"));
  EXPECT_EQ("Status : 508 Capturing", Status());
  EXPECT_EQ("Status : 510 Captured 10 frames", Title());
  EXPECT_TRUE(watcher_->Seen().empty());

  // The end of the capture: caption back, a box owned by the main window
  // (closed by the watcher), then an empty status bar.
  EXPECT_EQ(1, StatusProcedure(g_context.captureWindow, 301, "Done"));
  EXPECT_EQ("Capture Application", Title());
  EXPECT_EQ("", Status());
  ASSERT_EQ(1u, watcher_->Seen().size());
  EXPECT_EQ("Status : 301 Done", watcher_->Seen()[0].text);
  EXPECT_EQ("Capture Application", watcher_->Seen()[0].caption);
  EXPECT_EQ(g_context.mainWindow, watcher_->Seen()[0].owner);
}

TEST_F(StatusReportTest, EachProgressNumberReachesTheStatusBar) {
  for (int number : {508, 511, 512, 513}) {
    StatusProcedure(nullptr, number, "x");
    EXPECT_EQ("Status : " + std::to_string(number) + " x", Status());
    EXPECT_EQ("Capture Application", Title()) << number;
  }
}

TEST_F(StatusReportTest, UnroutedNumbersChangeNothing) {
  SetWindowTextA(g_context.statusWindow, "before");
  for (int number : {509, 0, 300, 302, 507, 514, -1}) {
    EXPECT_EQ(1, StatusProcedure(nullptr, number, "ignored"));
  }
  EXPECT_EQ("before", Status());
  EXPECT_EQ("Capture Application", Title());
  EXPECT_TRUE(watcher_->Seen().empty());
}

TEST_F(StatusReportTest, LongReportIsCutToFitTheBuffer) {
  const std::string longText(1000, 'q');
  EXPECT_EQ(1, StatusProcedure(nullptr, 510, longText.c_str()));
  const std::string expected = ("Status : 510 " + longText).substr(0, 199);
  EXPECT_EQ(expected, Title());
  EXPECT_EQ(expected, Status());
  EXPECT_EQ(1, StatusProcedure(nullptr, 301, longText.c_str()));
  ASSERT_EQ(1u, watcher_->Seen().size());
  EXPECT_EQ(("Status : 301 " + longText).substr(0, 199), watcher_->Seen()[0].text);
}

TEST_F(StatusReportTest, MissingTextIsReportedAsEmpty) {
  EXPECT_EQ(1, StatusProcedure(nullptr, 512, nullptr));
  EXPECT_EQ("Status : 512 ", Status());
  EXPECT_EQ(1, ErrorProcedure(nullptr, 7, nullptr));
  ASSERT_EQ(1u, watcher_->Seen().size());
  EXPECT_EQ("", watcher_->Seen()[0].text);
}

TEST_F(StatusReportTest, ErrorsShowTheServiceTextInAnUnownedBox) {
  EXPECT_EQ(1, ErrorProcedure(g_context.captureWindow, 0, "not an error"));
  EXPECT_TRUE(watcher_->Seen().empty());

  EXPECT_EQ(1, ErrorProcedure(g_context.captureWindow, 434, "Disk full"));
  ASSERT_EQ(1u, watcher_->Seen().size());
  EXPECT_EQ("Disk full", watcher_->Seen()[0].text);  // no report prefix
  EXPECT_EQ("Capture Application", watcher_->Seen()[0].caption);
  EXPECT_EQ(nullptr, watcher_->Seen()[0].owner);
  EXPECT_EQ("Capture Application", Title());
}

TEST_F(StatusReportTest, StartUpInstallsTheProceduresOnTheCaptureWindow) {
  ASSERT_TRUE(IsWindow(g_context.captureWindow)) << "start-up made no capture window";
  EXPECT_EQ(reinterpret_cast<FARPROC>(&StatusProcedure),
            FakeCapApi().GetCallback(WM_CAP_SET_CALLBACK_STATUSA));
  EXPECT_EQ(reinterpret_cast<FARPROC>(&ErrorProcedure),
            FakeCapApi().GetCallback(WM_CAP_SET_CALLBACK_ERRORA));
}

}  // namespace
