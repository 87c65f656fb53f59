// The one save dialog through which every command that writes a file gets its
// name: it opens in the folder of the capture file and proposes that file's
// name without extension, and remembers the chosen path in LastDir.
#ifndef MORVA_UI_FILE_PROMPT_H
#define MORVA_UI_FILE_PROMPT_H

#include "app/settings.h"

// Save filters: description and pattern pairs, ended by an empty entry.
extern const char kVideoFilter[];  // "Microsoft AVI" *.avi, "All Files" *.*
extern const char kImageFilter[];  // "Microsoft Bitmap" *.bmp, "All Files" *.*

// 1 when the user confirmed a name, which then stands in `result` and in
// LastDir; 0 otherwise (cancelled, no capture window, no capture file name),
// with `result` untouched. The default extension follows the filter's first
// pattern.
int PromptForFileName(char (&result)[kTextSize], const char* filter);

#endif
