// Where the list of camera drivers comes from: the cameras file named by the
// environment variable MORVA_CAMERAS (a Windows path), else cameras.ini
// beside avicap32.dll, else the built-in list. Read afresh on every call:
// the file is small, and tests switch it between cases.
#ifndef MORVA_AVICAP32_CAMERA_LIST_H
#define MORVA_AVICAP32_CAMERA_LIST_H

#include <string>

#include "camera_config.h"

struct CameraList {
  capcore::DriverList list;
  std::string error;  // empty, or why the built-in list stands in for the file
};

CameraList LoadCameraList();

#endif
