// Splitting the capture file's path into what the save dialog is opened with:
// the folder it starts in and the name it proposes (the file name without its
// extension). Also the default extension that goes with a save filter.
// Pure string work, no windows.h, so that it is tested natively.
#ifndef MORVA_UI_FILE_NAME_PARTS_H
#define MORVA_UI_FILE_NAME_PARTS_H

#include <cstddef>

// Splits `path` at its last backslash. `directory` receives the folder (a drive
// root keeps its backslash: "C:\", as does a path that starts at the root of
// the current drive: "\"); it is empty when `path` has no backslash. `name`
// receives the text after the last backslash with its extension cut: the last
// dot and what follows, a dot at the name's first position not counting.
// Dots in folder names are left alone. Both outputs are always terminated and
// cut to their sizes; sizes of 0 leave the buffer untouched.
void SplitCaptureFileName(const char* path, char* directory, std::size_t directorySize,
                          char* name, std::size_t nameSize);

// The extension of a save filter's first pattern, upper case, without the dot
// ("*.avi" gives "AVI"). `filter` is a list of description and pattern strings
// ended by an empty string. Empty when the first pattern has no plain
// extension ("*.*", "*", none). Always terminated and cut to `size`.
void DefaultExtensionOfFilter(const char* filter, char* extension, std::size_t size);

#endif
