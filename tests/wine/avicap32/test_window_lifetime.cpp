// The capture window's destruction must leave the thread's queue as it was:
// an application posts its quit message while its windows go down, and the
// capture window (a child) is destroyed after that post.
#include "service_fixture.h"

namespace {

class WindowLifetimeTest : public ServiceTest {};

TEST_F(WindowLifetimeTest, QuitPostedBeforeDestructionSurvivesIt) {
  ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
  Send(WM_CAP_SET_PREVIEW, 1);
  PostQuitMessage(7);
  DestroyWindow(cap_);
  cap_ = nullptr;
  MSG m;
  bool quit = false;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(7u, m.wParam);
      break;
    }
    DispatchMessageA(&m);
  }
  EXPECT_TRUE(quit);
}

}  // namespace
