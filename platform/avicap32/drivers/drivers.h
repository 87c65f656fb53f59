// drivers/: the camera drivers. The camera list (camera_list.cpp) comes from
// the cameras file named by the environment variable MORVA_CAMERAS (a Windows
// path), else cameras.ini beside avicap32.dll, else the built-in list; it is
// read afresh on every call: the file is small, and tests switch it between
// cases. Only a regular file of up to 64 KB is read, as it is or opened by a
// UTF-8 or UTF-16 byte-order mark. Each camera's chosen settings are
// remembered (driver_settings.cpp).
#ifndef MORVA_AVICAP32_DRIVERS_DRIVERS_H
#define MORVA_AVICAP32_DRIVERS_DRIVERS_H

#include <string>

#include "core/camera/camera_config.h"

struct CameraList {
  capcore::DriverList list;
  std::string error;  // empty, or why the built-in list stands in for the file
};

CameraList LoadCameraList();

struct CaptureWindowState;

// Per-driver picture format, source and display settings kept across runs
// in a small settings file of the service.
void LoadDriverSettings(CaptureWindowState* s);
void SaveDriverSettings(const CaptureWindowState* s);

#endif
