/* The launcher's own settings: window position and both parameter fields, in
   ".\Pelmar.ini", section "Main". Read at start, written only when the window closes. */
#ifndef PELMAR_LAUNCHER_SETTINGS_H
#define PELMAR_LAUNCHER_SETTINGS_H

#include <windows.h>

extern const char LauncherSettingsFile[];

/* Fills both parameter fields and reads WindowPosX and WindowPosY. */
void ReadLauncherSettings(HWND window);

/* Saves the window's position and both parameter fields. */
void WriteLauncherSettings(HWND window);

#endif
