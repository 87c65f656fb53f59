// HandleCommand: every command first stops a running countdown, then the
// command table hands it to its action. Identifiers without an action only
// cancel.
#include "capture/command_handler.h"

#include <vfw.h>

#include "app/application_context.h"
#include "capture/audio_format_chooser.h"
#include "capture/capture_interface.h"
#include "capture/driver_connection.h"
#include "capture/frame_rate.h"
#include "capture/self_timer.h"
#include "capture/sequence_setup.h"
#include "capture/view.h"
#include "resources/resource.h"
#include "ui/about_dialog.h"
#include "ui/file_prompt.h"
#include "ui/layout.h"
#include "ui/options_dialog.h"

namespace {

void OnExit(HWND window) { DestroyWindow(window); }

void OnAbout(HWND) { ShowAbout(g_context.mainWindow); }

void OnVideoSource(HWND) {
  if (g_context.driverCaps.fHasDlgVideoSource) SendCapture(WM_CAP_DLG_VIDEOSOURCE, 0, 0);
}

// Only a flag of exactly 1 counts for the format and display dialogs.
void OnVideoFormat(HWND) {
  if (g_context.driverCaps.fHasDlgVideoFormat != 1) return;
  if (SendCapture(WM_CAP_DLG_VIDEOFORMAT, 0, 0) == 1) CentreCaptureWindow();
}

void OnDisplayOption(HWND) {
  if (g_context.driverCaps.fHasDlgVideoDisplay == 1) SendCapture(WM_CAP_DLG_VIDEODISPLAY, 0, 0);
}

void OnVideoCompressor(HWND) { SendCapture(WM_CAP_DLG_VIDEOCOMPRESSION, 0, 0); }

void OnNewCaptureFile(HWND) {
  char path[kTextSize];
  if (PromptForFileName(path, kVideoFilter) == 1) {
    SendCapture(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(path));
  }
}

void OnSaveAs(HWND) {
  char path[kTextSize];
  if (PromptForFileName(path, kVideoFilter) == 1) {
    SendCapture(WM_CAP_FILE_SAVEASA, 0, reinterpret_cast<LPARAM>(path));
  }
}

void OnOption(HWND window) {
  ShowOptions(window);
  SendCapture(WM_CAP_SET_PREVIEWRATE, PreviewIntervalMs(g_context.settings.FrameRate), 0);
  RestoreView();
}

void OnCopy(HWND) { SendCapture(WM_CAP_EDIT_COPY, 0, 0); }

// The picture is held while the user names the file, and live again after,
// whether or not a name was given.
void OnStillManual(HWND) {
  HoldView();
  char path[kTextSize];
  if (PromptForFileName(path, kImageFilter) == 1) {
    SendCapture(WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(path));
  }
  RestoreView();
}

void OnStillAuto(HWND window) { StartCountdown(window); }

void OnVideoStream(HWND) {
  SetupSequence();
  SendCapture(WM_CAP_SEQUENCE, 0, 0);
}

void OnSelectCamera(HWND) { ChooseDriver(); }

void OnAudioFormat(HWND window) { ChooseAudioFormat(window); }

struct CommandAction {
  int id;
  void (*act)(HWND window);
};

const CommandAction kCommands[] = {
    {IDM_EXIT, OnExit},
    {IDM_ABOUT, OnAbout},
    {IDM_VIDEOSOURCE, OnVideoSource},
    {IDM_VIDEOFORMAT, OnVideoFormat},
    {IDM_NEW, OnNewCaptureFile},
    {IDM_OPTION, OnOption},
    {IDM_COPY, OnCopy},
    {IDM_STILLMANUAL, OnStillManual},
    {IDM_VIDEOSTREAM, OnVideoStream},
    {IDM_SELECTCAMERA, OnSelectCamera},
    {IDM_VIDEOCOMPRESSOR, OnVideoCompressor},
    {IDM_DISPLAYOPTION, OnDisplayOption},
    {IDM_AUDIOFORMAT, OnAudioFormat},
    {IDM_SAVEAS, OnSaveAs},
    {IDM_STILLAUTO, OnStillAuto},
};

}  // namespace

LRESULT HandleCommand(HWND window, int id) {
  CancelCountdown(window);
  for (const CommandAction& command : kCommands) {
    if (command.id == id) {
      command.act(window);
      break;
    }
  }
  return 0;
}
