/* The game's display and language settings, read into the main window at start and
   written back on Run and on close. */
#ifndef PELMAR_GAME_CONFIG_H
#define PELMAR_GAME_CONFIG_H

#include <windows.h>

/* Fills the main window: fullscreen switch, parameter fields, mode and language lists,
   position. Called once, before the window is shown. */
void LoadSettings(HWND window);

/* Shows what the game's ini holds now: the fullscreen switch, both modes and the language.
   Called again when the game has ended, which may have changed them. */
void ShowGameSettings(HWND window);

/* Writes into the game's configuration file, when it exists, each choice the player has
   changed since it was last read or written. With closing set, the launcher's own
   settings are saved first. */
void SaveSettings(HWND window, bool closing);

#endif
