// The page-cache trimmer of a file being written (see page_cache_trim.h).
#include "unix/page_cache_trim.h"

#include <string>
#include <utility>

#include "unix/unix_host.h"

namespace {

enum : DWORD { kEndWaitMs = 2000 };  // Stop's wait for the trimmer

}  // namespace

bool PageCacheTrim::Start(const wchar_t* path, const ServiceKnobs& knobs, uint64_t reserveBytes) {
  Stop();
  std::string file;
  if (!knobs.pageCacheTrim || !RunningUnderWine() || !UnixPathOf(path, &file)) return false;
  std::unique_ptr<ScriptFolder> folder(new ScriptFolder);
  if (!folder->Create(knobs.unixTempFolder) ||
      !StartShellScript(*folder, capcore::PageCacheTrimScript(file, folder->Path(), OwnUnixPid(), reserveBytes),
                        knobs.unixTempFolder))
    return false;
  folder_ = std::move(folder);
  return true;
}

void PageCacheTrim::Stop() {
  if (folder_) folder_->AskToEnd(capcore::kTrimStopName, kEndWaitMs);
  folder_.reset();
}
