// Creating the capture window at start-up and connecting the remembered
// driver (with a scan of the installed drivers as fall-back), and switching
// drivers from the driver list with a fall-back to the previous one.
#ifndef MORVA_CAPTURE_DRIVER_CONNECTION_H
#define MORVA_CAPTURE_DRIVER_CONNECTION_H

// Start-up step 10: creates the capture window in the video frame window,
// connects a driver, sets the preview going and installs the status and error
// procedures. Always 1.
int ConnectAtStartup();

// Command 40024: the driver list, modal, owned by the video frame window; its
// result goes to SelectDriver.
void ChooseDriver();

// Connects driver `index` (-1: nothing chosen). On failure says so and goes
// back to the previous driver. 1 when a driver is connected through this call.
int SelectDriver(int index);

#endif
