// Resource identifiers of morvamjpg.dll, shared by morvamjpg.rc and the code:
// the configuration dialog (quality) and its one field.
#ifndef MORVA_MJPEG_RESOURCE_H
#define MORVA_MJPEG_RESOURCE_H

#define IDD_MJPEG_CONFIGURE 100
#define IDC_MJPEG_QUALITY 1001

#endif
