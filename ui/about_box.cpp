#include "about_box.h"
#include "../app/globals.h"
#include "../resources/resource.h"

static void OnAboutInit(HWND box, LPARAM lParam)
{
    AboutOwner = reinterpret_cast<HWND>(lParam);
    /* At the large-icon size, which the icon file holds an image of at every usual scale. */
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), 0));
    if (icon)
        SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(icon));
}

/* The static does not own the icon it was given: it goes with the box. */
static void OnAboutDestroy(HWND box)
{
    HICON icon = reinterpret_cast<HICON>(
        SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON, 0));
    if (icon)
        DestroyIcon(icon);
}

/* The box is only ever hidden: it lives as long as its owner. */
static void HideAboutBox(HWND box)
{
    ShowWindow(box, SW_HIDE);
    EnableWindow(AboutOwner, TRUE);
    SetFocus(AboutOwner);
}

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_INITDIALOG:
        OnAboutInit(window, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_OK)
            SendMessageA(window, WM_CLOSE, 0, 0);
        HideAboutBox(window);
        return TRUE;
    case WM_CLOSE:
        HideAboutBox(window);
        return TRUE;
    case WM_DESTROY:
        OnAboutDestroy(window);
        return TRUE;
    }
    return FALSE;
}

POINT AboutBoxPosition(const RECT &main, int boxWidth, int boxHeight, int screenWidth,
                       int screenHeight)
{
    POINT at;
    at.x = (main.right - main.left - boxWidth) / 2 + main.left;
    at.y = (main.bottom - main.top - boxHeight) / 2 + main.top;
    if (at.x < 0)
        at.x = 0;
    if (at.y < 0)
        at.y = 0;
    if (at.x + boxWidth > screenWidth)
        at.x = screenWidth - boxWidth;
    if (at.y + boxHeight > screenHeight)
        at.y = screenHeight - boxHeight;
    return at;
}

void ShowAboutBox(HWND mainWindow)
{
    if (!mainWindow || !AboutWindow)
        return;
    EnableWindow(mainWindow, FALSE);

    RECT main = { 0, 0, 0, 0 };
    RECT box = { 0, 0, 0, 0 };
    GetWindowRect(mainWindow, &main);
    GetWindowRect(AboutWindow, &box);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    POINT at = AboutBoxPosition(main, width, height, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN));
    MoveWindow(AboutWindow, at.x, at.y, width, height, FALSE);
    ShowWindow(AboutWindow, SW_SHOW);
}
