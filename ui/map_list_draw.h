/* Owner drawing of the map list: the map picture and the map name. */
#ifndef PELMAR_MAP_LIST_DRAW_H
#define PELMAR_MAP_LIST_DRAW_H

#include <windows.h>

/* The least row height; a taller list font makes the rows taller. */
enum { MapItemHeight = 20, MapIconSize = 16 };

/* Height of every map row: MapItemHeight, or the list font's height where that is taller
   (a DPI-unaware program drawn at a high DPI gets a larger font, but no larger rows).
   Set by FitMapRowsToFont, read by MeasureMapItem. */
extern int MapRowHeight;

/* Measures the list's font once, before any entry is added. */
void FitMapRowsToFont(HWND list);
void MeasureMapItem(MEASUREITEMSTRUCT *measure);

/* TRUE when the entry was handled (drawn or deliberately left alone). */
BOOL DrawMapItem(const DRAWITEMSTRUCT *draw);

#endif
