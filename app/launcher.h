/* The launcher's start-up and message loop. */
#ifndef PELMAR_LAUNCHER_H
#define PELMAR_LAUNCHER_H

#include <windows.h>

/* Exit code when the main window could not be created from instance's resources. */
enum { ExitNoMainWindow = 1 };

/* Builds both windows, loads the settings, lists the maps and runs the message loop.
   Returns 0 when the loop ends on the quit message, -1 when GetMessageA fails,
   ExitNoMainWindow without a window. */
int RunLauncher(HINSTANCE instance, int showCommand);

#endif
