#include "map_catalogue.h"
#include "map_names.h"
#include "../app/globals.h"
#include "../resources/resource.h"

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

/* name in the ANSI code page into out; false when it does not fit. *whole tells whether the
   code page holds every character of it. exact: the code page is no UTF-8 one, which holds
   every name and takes neither the flag nor the answer. */
static bool ToCodePage(const wchar_t *name, char *out, int size, bool exact, bool *whole)
{
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(CP_ACP, exact ? WC_NO_BEST_FIT_CHARS : 0, name, -1, out, size, nullptr,
                                     exact ? &lost : nullptr);
    *whole = !lost;
    return length > 0;
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
    wchar_t wideSearchPath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, searchPath, -1, wideSearchPath, MAX_PATH))
        return;
    UINT codePage = GetACP();
    bool exact = codePage != CP_UTF8 && codePage != CP_UTF7;

    /* The search is made in Unicode: the ANSI one hands out a name the code page cannot hold
       best-fitted ("DM-Über" as "DM-Uber" under 1251), which opens no file or another map,
       or with "?", and cannot tell them from real names. */
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wideSearchPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        /* Room for a long name of double-byte characters. */
        char longName[2 * MAX_PATH];
        bool whole = false;
        /* The search also matched short names: DM-Foo.unr2 is found as DM-F~QQJ.UNR. Judged
           by the long name, in which the extension is always as in the code page. */
        if (!ToCodePage(found.cFileName, longName, sizeof(longName), exact, &whole)
            || !MatchesFilePattern(longName, pattern))
            continue;
        /* The game opens this very file by its own name where the code page holds it, else
           by its 8.3 name. */
        char shortName[sizeof(found.cAlternateFileName)];
        const char *name = longName;
        if (!whole)
        {
            if (!found.cAlternateFileName[0]
                || !ToCodePage(found.cAlternateFileName, shortName, sizeof(shortName), exact, &whole) || !whole)
                continue;
            name = shortName;
        }
        AddMapEntry(list, name, bitmap);
    } while (FindNextFileW(search, &found));
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
