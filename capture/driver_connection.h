// Creating the capture window at start-up, connecting the remembered driver,
// and switching drivers from the driver list.
#ifndef MORVA_CAPTURE_DRIVER_CONNECTION_H
#define MORVA_CAPTURE_DRIVER_CONNECTION_H

int ConnectAtStartup();   // start-up step 10; always 1

#endif
