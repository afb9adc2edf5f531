/* Owner drawing of the map list: the map picture and the map name. */
#ifndef PELMAR_MAP_LIST_DRAW_H
#define PELMAR_MAP_LIST_DRAW_H

#include <windows.h>

enum { MapItemHeight = 20, MapIconSize = 16 };

void MeasureMapItem(MEASUREITEMSTRUCT *measure);

/* TRUE when the entry was handled (drawn or deliberately left alone). */
BOOL DrawMapItem(const DRAWITEMSTRUCT *draw);

#endif
