/* The main window: map list, parameter fields, display and language choices. */
#ifndef PELMAR_MAIN_WINDOW_H
#define PELMAR_MAIN_WINDOW_H

#include <windows.h>

/* The map picture every list entry carries; lives as long as the main window. */
extern HBITMAP MapIconBitmap;
/* Mirrors the fullscreen check box. */
extern bool FullscreenEnabled;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* Only the mode list of the chosen kind is usable. */
void ApplyFullscreenState(HWND window);

#endif
