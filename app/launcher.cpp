#include "launcher.h"
#include "globals.h"
#include "../config/game_config.h"
#include "../launch/map_catalogue.h"
#include "../resources/resource.h"
#include "../ui/about_box.h"
#include "../ui/main_window.h"

#include <commctrl.h>

static void MeasureMainWindow(HWND window)
{
    RECT rect;
    if (GetWindowRect(window, &rect))
    {
        MainWindowWidth = rect.right - rect.left;
        MainWindowHeight = rect.bottom - rect.top;
    }
}

static int RunMessageLoop(HWND window)
{
    MSG message;
    for (;;)
    {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        /* The loop ended normally, whatever code the quit carries. */
        if (got == 0)
            return 0;
        if (got == -1)
            return -1;
        if (!IsDialogMessageA(window, &message))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int RunLauncher(HINSTANCE instance, int showCommand)
{
    InitCommonControls();

    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
    /* Without a main window nothing would ever post the quit message. */
    if (!window)
        return ExitNoMainWindow;

    /* Without an About box the launcher still works; "?" then does nothing. */
    AboutWindow = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                                     AboutDialogProc, reinterpret_cast<LPARAM>(window));

    MeasureMainWindow(window);
    LoadSettings(window);
    ShowWindow(window, showCommand);
    FillMapCatalogue(window);

    return RunMessageLoop(window);
}
