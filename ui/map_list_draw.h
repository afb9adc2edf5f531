/* Owner drawing of the map list: the map picture and the map name. */
#ifndef PELMAR_MAP_LIST_DRAW_H
#define PELMAR_MAP_LIST_DRAW_H

#include <windows.h>

/* Reads the screen's DPI and measures the list's font once, before any entry is added.
   Returns the map picture's size in pixels (square) for that screen. */
int FitMapListToScreen(HWND list);

/* The map picture size x size pixels: the bitmap drawn for that size, or the nearest one
   scaled once here; the caller owns it. */
HBITMAP LoadMapPicture(HINSTANCE instance, int size);

void MeasureMapItem(MEASUREITEMSTRUCT *measure);

/* TRUE when the entry was handled (drawn or deliberately left alone). The picture is drawn
   at its own size, never stretched. */
BOOL DrawMapItem(const DRAWITEMSTRUCT *draw);

#endif
