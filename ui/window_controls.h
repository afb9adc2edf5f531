/* Small operations on the main window's controls that the settings and Run code share. */
#ifndef PELMAR_WINDOW_CONTROLS_H
#define PELMAR_WINDOW_CONTROLS_H

#include <windows.h>

/* Only the mode list of the chosen kind is usable, as FullscreenEnabled says. */
void ApplyFullscreenState(HWND window);

/* The text of one of window's controls, cut to 1023 characters, in CommandLineBuffer. */
const char *ReadControlText(HWND window, int control);

#endif
