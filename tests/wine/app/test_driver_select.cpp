// Switching drivers: the chosen driver, the fall-back to the previous one,
// and the messages of the three failures with the state each leaves.
#include "tests/wine/app/test_driver_fixture.h"

#include "capture/driver_connection.h"
#include "tests/wine/support/dialog_watcher.h"

namespace driver_test {
namespace {

using Lines = std::vector<std::string>;

const char kNotWorkable[] = "Selected Driver is not workable";
const char kNoVideoSource[] = "We can not drive new video source..";

class SelectDriverTest : public ContextTest {
 protected:
  // After start-up: connected to `driver` (or to nothing for -1), log cleared.
  void ConnectedTo(int driver) {
    CreateCaptureWindow();
    g_context.settings.DriverID = driver;
    if (driver != -1) {
      ASSERT_NE(0, SendMessageA(g_context.captureWindow, WM_CAP_DRIVER_CONNECT, driver, 0));
    }
    logStart_ = LogSize();
  }

  void ExpectBox(const SeenDialog& seen, const char* text) {
    EXPECT_EQ(text, seen.text);
    EXPECT_EQ("Capture Application", seen.caption);
    EXPECT_EQ(g_context.mainWindow, seen.owner);
  }

  size_t logStart_ = 0;
};

TEST_F(SelectDriverTest, ChosenDriverConnects) {
  Drivers({0, 1});
  ConnectedTo(0);
  DialogWatcher boxes;
  EXPECT_EQ(1, SelectDriver(1));
  EXPECT_EQ((Lines{"PREVIEW 0", "CONNECT 1", GetCapsLine(), "PREVIEW 1", "VIDEOFORMAT"}),
            Log(logStart_));
  EXPECT_EQ(1, g_context.settings.DriverID);
  EXPECT_EQ(1u, g_context.driverCaps.wDeviceIndex);
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(SelectDriverTest, NothingChosenSendsNothing) {
  Drivers({0});
  ConnectedTo(0);
  EXPECT_EQ(0, SelectDriver(-1));
  EXPECT_TRUE(Log(logStart_).empty());
  EXPECT_EQ(0, g_context.settings.DriverID);
}

TEST_F(SelectDriverTest, ChosenFailsAndThePreviousReconnects) {
  Drivers({0, 1});
  Refuses(1);
  ConnectedTo(0);
  DialogWatcher boxes;
  EXPECT_EQ(1, SelectDriver(1));
  ASSERT_EQ(1u, boxes.Seen().size());
  ExpectBox(boxes.Seen()[0], kNotWorkable);
  EXPECT_EQ(
      (Lines{"PREVIEW 0", "CONNECT 1", "CONNECT 0", GetCapsLine(), "PREVIEW 1", "VIDEOFORMAT"}),
      Log(logStart_));
  EXPECT_EQ(0, g_context.settings.DriverID);
  EXPECT_EQ(0u, g_context.driverCaps.wDeviceIndex);
}

TEST_F(SelectDriverTest, ChosenFailsWithNoPreviousDriver) {
  Drivers({0, 1});
  Refuses(1);
  ConnectedTo(-1);
  DialogWatcher boxes;
  EXPECT_EQ(0, SelectDriver(1));
  ASSERT_EQ(1u, boxes.Seen().size());
  ExpectBox(boxes.Seen()[0], kNotWorkable);
  EXPECT_EQ((Lines{"PREVIEW 0", "CONNECT 1"}), Log(logStart_));  // preview stays off
  EXPECT_EQ(-1, g_context.settings.DriverID);
}

TEST_F(SelectDriverTest, ChosenAndPreviousBothFail) {
  Drivers({0, 1});
  ConnectedTo(0);
  Refuses(0);
  Refuses(1);
  DialogWatcher boxes;
  EXPECT_EQ(0, SelectDriver(1));
  ASSERT_EQ(2u, boxes.Seen().size());
  ExpectBox(boxes.Seen()[0], kNotWorkable);
  ExpectBox(boxes.Seen()[1], kNoVideoSource);
  EXPECT_EQ((Lines{"PREVIEW 0", "CONNECT 1", "CONNECT 0"}), Log(logStart_));
  EXPECT_EQ(0, g_context.settings.DriverID);  // unchanged, though nothing is connected
}

TEST_F(SelectDriverTest, WithoutACaptureWindowOnlyTheMessagesAppear) {
  Drivers({0, 1});
  g_context.settings.DriverID = 0;
  DialogWatcher boxes;
  EXPECT_EQ(0, SelectDriver(1));
  ASSERT_EQ(2u, boxes.Seen().size());
  EXPECT_EQ(kNotWorkable, boxes.Seen()[0].text);
  EXPECT_EQ(kNoVideoSource, boxes.Seen()[1].text);
  EXPECT_EQ(0, FakeCapApi().RequestCount());
}

}  // namespace
}  // namespace driver_test
