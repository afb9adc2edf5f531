#include "launcher_settings.h"
#include "profile.h"
#include "settings_text.h"
#include "../app/globals.h"
#include "../resources/resource.h"
#include "../ui/window_controls.h"
#include "../ui/window_place.h"

#include <cstdio>

const char LauncherSettingsFile[] = ".\\Pelmar.ini";
static const char MainSection[] = "Main";

void ReadLauncherSettings(HWND window)
{
    SetDlgItemTextA(window, IDC_GAME_PARAMS,
                    ReadProfileText(MainSection, "ParamsGame", "", LauncherSettingsFile).c_str());
    SetDlgItemTextA(window, IDC_MAP_PARAMS,
                    ReadProfileText(MainSection, "ParamsMap", "", LauncherSettingsFile).c_str());
    WindowPosX = PositionPiece(ReadProfileText(MainSection, "HWndPos", "0,0", LauncherSettingsFile), 1);
    WindowPosY = PositionPiece(ReadProfileText(MainSection, "HWndPos", "0,0", LauncherSettingsFile), 2);
}

void WriteLauncherSettings(HWND window)
{
    /* Closed from the taskbar while minimised, the window still has its place. */
    POINT corner = NormalWindowPosition(window);
    snprintf(CommandLineBuffer, sizeof(CommandLineBuffer), "%i,%i", static_cast<int>(corner.x),
             static_cast<int>(corner.y));
    WriteProfileText(MainSection, "HWndPos", CommandLineBuffer, LauncherSettingsFile);
    WriteProfileText(MainSection, "ParamsMap", ReadControlText(window, IDC_MAP_PARAMS),
                     LauncherSettingsFile);
    WriteProfileText(MainSection, "ParamsGame", ReadControlText(window, IDC_GAME_PARAMS),
                     LauncherSettingsFile);
}
