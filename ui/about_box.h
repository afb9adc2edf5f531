/* The About box: created hidden at start, shown over the main window on "?". */
#ifndef PELMAR_ABOUT_BOX_H
#define PELMAR_ABOUT_BOX_H

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* Where the box goes: centred over the main window, then kept on the screen. */
POINT AboutBoxPosition(const RECT &main, int boxWidth, int boxHeight, int screenWidth,
                       int screenHeight);

/* Disables the main window and shows AboutWindow centred over it. */
void ShowAboutBox(HWND mainWindow);

#endif
