/* Where the main window stands: its stored place at start, its normal place at close. */
#ifndef PELMAR_WINDOW_PLACE_H
#define PELMAR_WINDOW_PLACE_H

#include <windows.h>

/* Moves window to WindowPosX, WindowPosY at its measured size, kept on a monitor. */
void MoveToStoredPosition(HWND window);

/* The top left corner of window's normal place in screen pixels, also while it is
   minimised (GetWindowRect then gives -32000, -32000). */
POINT NormalWindowPosition(HWND window);

#endif
