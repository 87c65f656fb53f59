#include <windows.h>
#include <gtest/gtest.h>
TEST(Harness, CreatesAndDestroysAVisibleWindow) {
  HWND w = CreateWindowA("STATIC", "x", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, w);
  DWORD t = GetTickCount();
  DestroyWindow(w);
  EXPECT_LT(GetTickCount() - t, 1000u);
}
