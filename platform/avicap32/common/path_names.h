// File names as the service keeps them: wide, so that the wide requests take
// any name the file system does. The ANSI requests' names are widened with
// the system's code page on entry; texts in that code page (reports, the
// ANSI read-backs) get a name converted back, characters the code page
// lacks as '?'.
#ifndef MORVA_AVICAP32_COMMON_PATH_NAMES_H
#define MORVA_AVICAP32_COMMON_PATH_NAMES_H

#include <windows.h>

#include <string>

// `text` in the system's code page, widened; "" for null.
std::wstring WidenAnsi(const char* text);
// `wide` in the system's code page; "" for null.
std::string InCodePage(const WCHAR* wide);
// A file name as report texts show it: in the code page, and no more than
// MAX_PATH - 1 characters of it (a name too long is shown cut).
std::string ShownName(const WCHAR* path);
// A name the file functions take: not null and shorter than MAX_PATH.
bool PathFits(const WCHAR* path);

#endif
