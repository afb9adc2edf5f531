/* The main window: map list, parameter fields, display and language choices. */
#ifndef PELMAR_MAIN_WINDOW_H
#define PELMAR_MAIN_WINDOW_H

#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
