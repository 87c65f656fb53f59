// Under Wine, a file being written keeps out of the Linux page cache: the
// trimmer script (capcore::PageCacheTrimScript) runs through the launcher
// for as long as this object holds its folder. Wine writes through the page
// cache whatever the flags, and a long recording there costs more per byte
// the more it has written; with the trimmer the cache holds about a second
// of it. The trimmer may also reserve the disk the next writes need. On
// Windows, or without /bin/sh, nothing is started and the file is written
// all the same.
#ifndef MORVA_AVICAP32_UNIX_PAGE_CACHE_TRIM_H
#define MORVA_AVICAP32_UNIX_PAGE_CACHE_TRIM_H

#include <cstdint>
#include <memory>

#include "common/knobs.h"
#include "unix/shell_script.h"

class PageCacheTrim {
 public:
  // Starts trimming the file at `path` (a Windows path), reserving
  // `reserveBytes` past its end each time when not 0; false when no trimmer
  // was started.
  bool Start(const wchar_t* path, const ServiceKnobs& knobs, uint64_t reserveBytes);
  // Ends the trimmer and waits for it (a moment: it is woken), so that
  // nothing is reserved past the file's end once this returns; should it
  // not end in time, its folder is removed and it ends within its second.
  void Stop();

 private:
  std::unique_ptr<ScriptFolder> folder_;
};

#endif
