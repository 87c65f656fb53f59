// The Linux machine's cameras, offered as drivers under Wine with ffmpeg
// there: each V4L2 capture node (its name from /sys/class/video4linux/<node>,
// its device /dev/<node>, both read through drive Z:) becomes a driver read
// through ffmpeg, after the drivers already listed. The knob
// MORVA_VIDEO4LINUX_ROOT puts a stand-in tree with sys/ and dev/ in place of
// /, for tests.
#include <windows.h>

#include <string>
#include <vector>

#include "core/ffmpeg/video_devices.h"
#include "drivers/drivers.h"
#include "unix/unix_host.h"

namespace {

enum { kMaxNameBytes = 256 };

std::vector<capcore::VideoNode> ReadNodes(const std::string& root) {
  std::vector<capcore::VideoNode> nodes;
  std::string classFolder = root + "/sys/class/video4linux";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((WindowsPathOf(classFolder) + "\\video*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return nodes;
  do {
    capcore::VideoNode n;
    n.node = fd.cFileName;
    std::string folder = classFolder + "/" + n.node;
    ReadUnixFile(folder + "/name", &n.name, kMaxNameBytes);
    ReadUnixFile(folder + "/index", &n.index, kMaxNameBytes);
    n.deviceExists = UnixPathExists(root + "/dev/" + n.node);
    nodes.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return nodes;
}

}  // namespace

void AddVideoCameras(capcore::DriverList* list, const ServiceKnobs& knobs) {
  if (!FfmpegAvailable(knobs)) return;
  int next = 0;
  for (int i = 0; i < capcore::kMaxDrivers; ++i)
    if (list->drivers[i].present) next = i + 1;
  const std::string& root = knobs.video4linuxRoot;
  for (const capcore::VideoCamera& c : capcore::SelectVideoCameras(ReadNodes(root))) {
    if (next >= capcore::kMaxDrivers) break;
    capcore::DriverConfig& d = list->drivers[next++];
    d = capcore::DriverConfig();
    d.present = true;
    d.description = c.name;
    d.version = root + c.device + " through ffmpeg";
    d.input = "-f v4l2 -i \"" + root + c.device + "\"";
    d.sizes = capcore::CommonCameraSizes();
    d.bitDepths = {24, 32, 16};
    d.hasSourceDialog = false;
  }
}
