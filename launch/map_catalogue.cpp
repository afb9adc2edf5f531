#include "map_catalogue.h"
#include "map_names.h"
#include "../resources/resource.h"
#include "../ui/main_window.h"

#include <cstdio>
#include <cstring>

static void AddMapEntry(HWND list, const char *fileName, HBITMAP bitmap)
{
    char mapName[MapNameStorage];
    memset(mapName, 0, sizeof(mapName));
    /* A name that does not fit would run a different map: leave it out. */
    if (!MapNameFromFileName(mapName, sizeof(mapName), fileName))
        return;
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mapName));
    if (index == LB_ERR || index == LB_ERRSPACE)
        return;
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(bitmap));
}

void ScanMapFolder(HWND window, const char *folder, const char *pattern)
{
    HBITMAP bitmap = MapIconBitmap;
    HWND list = GetDlgItem(window, IDC_MAP_LIST);

    char searchPath[MAX_PATH];
    memset(searchPath, 0, sizeof(searchPath));
    int length = snprintf(searchPath, sizeof(searchPath), "%s%s", folder, pattern);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(searchPath))
        return;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(searchPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        /* The search also matched short names: DM-Foo.unr2 is found as DM-F~QQJ.UNR. */
        if (!MatchesFilePattern(found.cFileName, pattern))
            continue;
        AddMapEntry(list, found.cFileName, bitmap);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void FillMapCatalogue(HWND window)
{
    HWND list = GetDlgItem(window, IDC_MAP_LIST);
    /* Each entry added to a visible owner-drawn list repaints it; thousands of maps would
       take minutes. Paint once at the end instead. */
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ScanMapFolder(window, "..\\Maps\\", MapFilePattern);
    ScanMapFolder(window, "..\\Maps\\UPak\\", MapFilePattern);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}
