// Running the application, or its start-up alone, inside a test process.
#ifndef MORVA_TESTS_SUPPORT_APP_RUNNER_H
#define MORVA_TESTS_SUPPORT_APP_RUNNER_H

#include <windows.h>

#include <functional>

// Destroys the windows a previous test left, removes pending messages
// (WM_QUIT included) and zeroes ApplicationContext.
void ResetApplicationContext();

// Removes every message waiting for this thread, WM_QUIT included.
void DrainMessages();

// RunApplication with this executable's instance: once the message loop is
// running, `duringLoop` runs (from a thread timer), then WM_CLOSE is posted to
// the main window. With closeMain false nothing is posted: `duringLoop` must
// end the loop itself; after 5 s the main window is closed all the same, so
// that a fault shows as a failed expectation rather than a hang.
// Returns RunApplication's exit code.
int RunApplicationUntilClosed(const std::function<void()>& duringLoop = {},
                              bool closeMain = true);

#endif
