/* Owner drawing of the map list: the map picture and the map name. */
#ifndef PELMAR_MAP_LIST_DRAW_H
#define PELMAR_MAP_LIST_DRAW_H

#include <windows.h>

/* Sizes at 96 DPI; other scales multiply them by dpi / 96. */
enum
{
    MapItemHeight = 20,
    MapIconSize = 16,
    MapIconLeft = 2,
    MapTextLeft = 21
};

/* Pixel sizes of the map rows, fixed when the main window is made. */
struct MapListSizes
{
    int rowHeight;   /* MapItemHeight scaled, or the list font's height where taller */
    int pictureSize; /* square */
    int pictureLeft;
    int textLeft;
};
extern MapListSizes MapListSize;

/* Reads the screen's DPI and measures the list's font once, before any entry is added. */
void FitMapListToScreen(HWND list);

/* The map picture at the size in MapListSize, from the bitmap drawn nearest that size;
   the caller owns it. */
HBITMAP LoadMapPicture(HINSTANCE instance);

void MeasureMapItem(MEASUREITEMSTRUCT *measure);

/* TRUE when the entry was handled (drawn or deliberately left alone). */
BOOL DrawMapItem(const DRAWITEMSTRUCT *draw);

#endif
