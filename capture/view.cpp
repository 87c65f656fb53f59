// Preview on or off, then the overlay as the settings want it.
#include "capture/view.h"

#include "app/application_context.h"
#include "capture/capture_interface.h"

namespace {

void ApplyOverlaySetting() {
  SendCapture(WM_CAP_SET_OVERLAY, g_context.settings.UseOverlay == 1 ? 1 : 0, 0);
}

}  // namespace

void RestoreView() {
  SendCapture(WM_CAP_SET_PREVIEW, 1, 0);
  ApplyOverlaySetting();
}

void HoldView() {
  SendCapture(WM_CAP_SET_PREVIEW, 0, 0);
  ApplyOverlaySetting();
}
