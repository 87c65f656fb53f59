// Under Wine, a file being written keeps out of the Linux page cache: the
// trimmer script (capcore::PageCacheTrimScript) runs through the launcher
// for as long as this object holds its folder. Wine writes through the page
// cache whatever the flags, and a long recording there costs more per byte
// the more it has written; with the trimmer the cache holds about a second
// of it. On Windows, or without /bin/sh, nothing is started and the file is
// written all the same.
#ifndef MORVA_AVICAP32_UNIX_PAGE_CACHE_TRIM_H
#define MORVA_AVICAP32_UNIX_PAGE_CACHE_TRIM_H

#include <memory>

#include "common/knobs.h"
#include "unix/shell_script.h"

class PageCacheTrim {
 public:
  // Starts trimming the file at `path` (a Windows path); false when no
  // trimmer was started.
  bool Start(const wchar_t* path, const ServiceKnobs& knobs);
  // Removes the folder: the trimmer ends within its second.
  void Stop() { folder_.reset(); }

 private:
  std::unique_ptr<ScriptFolder> folder_;
};

#endif
