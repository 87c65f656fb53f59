// The save dialog for capture files and still images.
#include "ui/file_prompt.h"

#include <windows.h>
#include <commdlg.h>
#include <vfw.h>

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "ui/file_name_parts.h"

const char kVideoFilter[] = "Microsoft AVI\0*.avi\0All Files\0*.*\0";
const char kImageFilter[] = "Microsoft Bitmap\0*.bmp\0All Files\0*.*\0";

namespace {

const char kTitle[] = "Save Video As...";

}  // namespace

int PromptForFileName(char (&result)[kTextSize], const char* filter) {
  char captureFile[kTextSize] = {};
  if (SendCapture(WM_CAP_FILE_GET_CAPTURE_FILE, sizeof captureFile,
                  reinterpret_cast<LPARAM>(captureFile)) != 1) {
    return 0;
  }
  captureFile[sizeof captureFile - 1] = '\0';

  char directory[kTextSize] = {};
  char name[kTextSize] = {};
  SplitCaptureFileName(captureFile, directory, sizeof directory, name, sizeof name);
  char extension[16];
  DefaultExtensionOfFilter(filter, extension, sizeof extension);

  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = g_context.mainWindow;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 0;
  dialog.lpstrFile = name;
  dialog.nMaxFile = sizeof name;
  dialog.lpstrInitialDir = directory[0] ? directory : nullptr;
  dialog.lpstrTitle = kTitle;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  dialog.lpstrDefExt = extension[0] ? extension : nullptr;
  if (GetSaveFileNameA(&dialog) != TRUE) return 0;

  lstrcpynA(result, name, sizeof result);
  lstrcpynA(g_context.settings.LastDir, name, sizeof g_context.settings.LastDir);
  return 1;
}
