// The module instance of avicap32.dll (module.cpp), for the dialog resources
// and the window classes.
#ifndef MORVA_AVICAP32_MODULE_H
#define MORVA_AVICAP32_MODULE_H

#include <windows.h>

HINSTANCE ModuleInstance();

#endif
