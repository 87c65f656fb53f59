// The two view sequences around anything that must see a still picture:
// HoldView stops the live preview, RestoreView starts it again. Both set the
// overlay by the UseOverlay setting (only 1 counts as on).
#ifndef MORVA_CAPTURE_VIEW_H
#define MORVA_CAPTURE_VIEW_H

void RestoreView();
void HoldView();

#endif
