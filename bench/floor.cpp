/* The floor for the start-up benchmark: what any launcher with this window must do. It
   opens the main window from the same template, shows it, lists both map folders into
   the map list with its redraw held, and runs a message loop; settings, icons and the
   About box are left out.
   "--delay N" waits N ms before the loop, so the runner can check that its measure ends
   where the loop begins. */
#include "../resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

static INT_PTR CALLBACK FloorDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        return TRUE;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight = 20;
        return TRUE;
    case WM_DRAWITEM:
    {
        const DRAWITEMSTRUCT *draw = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (draw->itemID == static_cast<UINT>(-1))
            return FALSE;
        char text[260] = { 0 };
        LRESULT length = SendMessageA(draw->hwndItem, LB_GETTEXTLEN, draw->itemID, 0);
        if (length >= 0 && length < static_cast<LRESULT>(sizeof(text)))
        {
            SendMessageA(draw->hwndItem, LB_GETTEXT, draw->itemID, reinterpret_cast<LPARAM>(text));
            TextOutA(draw->hDC, 21, draw->rcItem.top + 2, text, lstrlenA(text));
        }
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

static void AddMapsOf(HWND list, const char *searchPath)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(searchPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char *dot = strchr(found.cFileName, '.');
        if (dot)
            *dot = '\0';
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    int delay = 0;
    if (strncmp(commandLine, "--delay ", 8) == 0)
        delay = atoi(commandLine + 8);

    InitCommonControls();
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     FloorDialogProc, 0);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);

    HWND list = GetDlgItem(window, IDC_MAP_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    AddMapsOf(list, "..\\Maps\\*.unr");
    AddMapsOf(list, "..\\Maps\\UPak\\*.unr");
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);

    if (delay > 0)
        Sleep(static_cast<DWORD>(delay));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        if (!IsDialogMessageA(window, &message))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 0;
}
