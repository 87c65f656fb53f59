// Which V4L2 device nodes the capture service offers as cameras, from what
// the Linux device tree says about each node (/sys/class/video4linux/<node>:
// its name and index; /dev/<node>). A camera usually has a second node for
// its metadata, with index 1: only index 0 nodes capture pictures.
#ifndef MORVA_CAPCORE_VIDEO_DEVICES_H
#define MORVA_CAPCORE_VIDEO_DEVICES_H

#include <string>
#include <vector>

namespace capcore {

struct VideoNode {
  std::string node;   // "video2"
  std::string name;   // the name file's text
  std::string index;  // the index file's text ("" when there is none)
  bool deviceExists = false;  // /dev/<node> is there
};

struct VideoCamera {
  std::string device;  // "/dev/video2"
  std::string name;    // "HD Webcam C525" (the node's name when the file is empty)
};

// The capture nodes, in the order of their numbers (video2 before video10).
std::vector<VideoCamera> SelectVideoCameras(const std::vector<VideoNode>& nodes);

}  // namespace capcore

#endif
