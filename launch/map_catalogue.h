/* The map list: every map of both map folders, sorted by the list box itself. */
#ifndef PELMAR_MAP_CATALOGUE_H
#define PELMAR_MAP_CATALOGUE_H

#include <windows.h>

/* Adds the maps that folder (ending in a backslash) holds under pattern. */
void ScanMapFolder(HWND window, const char *folder, const char *pattern);

/* Both map folders into the list, with its redraw held during the fill. */
void FillMapCatalogue(HWND window);

#endif
