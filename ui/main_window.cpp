#include "main_window.h"
#include "about_box.h"
#include "map_list_draw.h"
#include "window_controls.h"
#include "../app/globals.h"
#include "../config/game_config.h"
#include "../launch/run_map.h"
#include "../resources/resource.h"

/* The icon file holds an image of each size Windows asks for: none is resampled. Not shared,
   so the window's own: WM_SETICON leaves it to its loader. */
static void SetWindowIcon(HWND window, HINSTANCE instance, WPARAM kind, int width, int height)
{
    HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, width, height, 0));
    if (icon)
        SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

/* Handing 0 gives back the icon set before. */
static void DestroyWindowIcon(HWND window, WPARAM kind)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, kind, 0));
    if (icon)
        DestroyIcon(icon);
}

static void OnInitDialog(HWND window)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    /* The dialog has given the list its font; its entries come later. */
    int pictureSize = FitMapListToScreen(GetDlgItem(window, IDC_MAP_LIST));
    MapIconBitmap = LoadMapPicture(instance, pictureSize);
    /* The caption's, and the one Alt-Tab, the taskbar and a Linux dock show: without it Wine
       puts in its own logo. */
    SetWindowIcon(window, instance, ICON_SMALL, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SetWindowIcon(window, instance, ICON_BIG, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
}

/* Repaint the whole window on every activation change. */
static void OnActivate(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_VALIDATE | RDW_NOERASE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

static void OnClose(HWND window)
{
    SaveSettings(window, true);
    DestroyWindow(window);
}

static void OnDestroy(HWND window)
{
    DeleteObject(MapIconBitmap);
    MapIconBitmap = nullptr;
    DestroyWindowIcon(window, ICON_SMALL);
    DestroyWindowIcon(window, ICON_BIG);
    PostQuitMessage(0);
}

static void OnFullscreenClicked(HWND window)
{
    FullscreenEnabled = !FullscreenEnabled;
    ApplyFullscreenState(window);
}

/* Run is usable exactly while a map is selected. */
static void OnMapSelectionChanged(HWND window)
{
    HWND list = GetDlgItem(window, IDC_MAP_LIST);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    int selected = 0;
    for (LRESULT i = 0; i < count; ++i)
        if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
            ++selected;
    EnableWindow(GetDlgItem(window, IDC_RUN), selected > 0);
}

static void OnCommand(HWND window, WPARAM wParam)
{
    WORD control = LOWORD(wParam);
    WORD code = HIWORD(wParam);

    if (code == BN_CLICKED)
    {
        switch (control)
        {
        case IDC_FULLSCREEN:
            OnFullscreenClicked(window);
            break;
        case IDC_ABOUT:
            ShowAboutBox(window);
            break;
        case IDC_RUN:
            RunSelectedMap(window);
            break;
        default:
            /* IDCANCEL (Escape) and IDOK land here: the window stays. */
            break;
        }
    }
    else if (code == LBN_SELCHANGE && control == IDC_MAP_LIST)
    {
        OnMapSelectionChanged(window);
    }
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_ACTIVATE:
        OnActivate(window);
        return FALSE;
    case WM_CLOSE:
        OnClose(window);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(window);
        return TRUE;
    case WM_MEASUREITEM:
        MeasureMapItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        return DrawMapItem(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        OnCommand(window, wParam);
        return FALSE;
    }
    return FALSE;
}
