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

/* name in the ANSI code page, only where the code page holds every character of it. */
static bool ExactlyInCodePage(const wchar_t *name, char *out, int size)
{
    /* A UTF-8 code page holds every name, and takes neither the flag nor the answer. */
    UINT codePage = GetACP();
    bool exact = codePage != CP_UTF8 && codePage != CP_UTF7;
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(CP_ACP, exact ? WC_NO_BEST_FIT_CHARS : 0, name, -1, out, size, nullptr,
                                     exact ? &lost : nullptr);
    return length > 0 && !lost;
}

/* The name the game opens this very file by: the file's own where the code page holds it,
   else its 8.3 name. The ANSI search would hand out a best-fitted name ("DM-Über" as
   "DM-Uber" under 1251), which opens no file or another map, or one with "?" in it; it
   cannot tell them from real names, so the search is made in Unicode. */
static bool RunnableFileName(const WIN32_FIND_DATAW &found, char *out, int size)
{
    if (ExactlyInCodePage(found.cFileName, out, size))
        return true;
    return found.cAlternateFileName[0] && ExactlyInCodePage(found.cAlternateFileName, out, size);
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

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wideSearchPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        /* Room for a long name of double-byte characters. */
        char name[2 * MAX_PATH];
        if (!RunnableFileName(found, name, sizeof(name)))
            continue;
        /* The search also matched short names: DM-Foo.unr2 is found as DM-F~QQJ.UNR. Judged
           by the long name, in which the extension is always as in the code page. */
        char longName[2 * MAX_PATH];
        if (!WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, longName, sizeof(longName), nullptr, nullptr)
            || !MatchesFilePattern(longName, pattern))
            continue;
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
