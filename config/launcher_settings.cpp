#include "launcher_settings.h"
#include "profile.h"
#include "settings_text.h"
#include "../app/globals.h"
#include "../resources/resource.h"

#include <cstdio>

const char LauncherSettingsFile[] = ".\\Pelmar.ini";
static const char MainSection[] = "Main";

int WindowPosX;
int WindowPosY;

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
    RECT rect = { 0, 0, 0, 0 };
    GetWindowRect(window, &rect);
    snprintf(CommandLineBuffer, sizeof(CommandLineBuffer), "%i,%i", static_cast<int>(rect.left),
             static_cast<int>(rect.top));
    WriteProfileText(MainSection, "HWndPos", CommandLineBuffer, LauncherSettingsFile);
    WriteProfileText(MainSection, "ParamsMap", ReadControlText(window, IDC_MAP_PARAMS),
                     LauncherSettingsFile);
    WriteProfileText(MainSection, "ParamsGame", ReadControlText(window, IDC_GAME_PARAMS),
                     LauncherSettingsFile);
}
