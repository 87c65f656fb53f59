// Choosing the capture nodes among the V4L2 device nodes (see video_devices.h).
#include "core/ffmpeg/video_devices.h"

#include <algorithm>

#include "core/text/path_text.h"

namespace capcore {
namespace {

// The number of "video<N>"; -1 for any other name.
long NodeNumber(const std::string& node) {
  if (node.compare(0, 5, "video") != 0 || node.size() == 5 || node.size() > 10) return -1;
  long n = 0;
  for (size_t i = 5; i < node.size(); ++i) {
    if (node[i] < '0' || node[i] > '9') return -1;
    n = n * 10 + (node[i] - '0');
  }
  return n;
}

}  // namespace

std::vector<VideoCamera> SelectVideoCameras(const std::vector<VideoNode>& nodes) {
  std::vector<std::pair<long, VideoCamera>> found;
  for (const VideoNode& n : nodes) {
    long number = NodeNumber(n.node);
    std::string index = Trim(n.index);
    if (number < 0 || !n.deviceExists || (!index.empty() && index != "0")) continue;
    std::string name = Trim(n.name);
    found.push_back({number, VideoCamera{"/dev/" + n.node, name.empty() ? n.node : name}});
  }
  std::sort(found.begin(), found.end(),
            [](const std::pair<long, VideoCamera>& a, const std::pair<long, VideoCamera>& b) {
              return a.first < b.first;
            });
  std::vector<VideoCamera> cameras;
  for (const auto& f : found) cameras.push_back(f.second);
  return cameras;
}

}  // namespace capcore
