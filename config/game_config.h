/* The game's display and language settings, read into the main window at start and
   written back on Run and on close. */
#ifndef PELMAR_GAME_CONFIG_H
#define PELMAR_GAME_CONFIG_H

#include <windows.h>

/* Fills the main window: fullscreen switch, parameter fields, mode and language lists,
   position. Called once, before the window is shown. */
void LoadSettings(HWND window);

/* Writes the window's choices into the game's configuration file, when it exists. With
   closing set, the launcher's own settings are saved first. */
void SaveSettings(HWND window, bool closing);

#endif
