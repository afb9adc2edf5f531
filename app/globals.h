/* Process-wide values and the two shared text buffers. One thread reads and writes them. */
#ifndef PELMAR_GLOBALS_H
#define PELMAR_GLOBALS_H

#include <windows.h>

#include <string>

enum { CommandLineBufferSize = 1024, ProfileBufferSize = 2048 };

/* The game's command line; also scratch for control texts while saving settings. */
extern char CommandLineBuffer[CommandLineBufferSize];
/* Receives every profile-string read. */
extern char ProfileBuffer[ProfileBufferSize];

/* The game's files as bare names ("Unreal.ini", ...), or empty when none is present.
   Decided once, before WinMain. */
extern std::string ActiveGameIni;
extern std::string ActiveGameExe;

/* The main window's outer size, measured once after creation. */
extern int MainWindowWidth;
extern int MainWindowHeight;

extern HWND AboutWindow;
/* The window that gets the focus back when the About box is hidden. */
extern HWND AboutOwner;

/* The map picture every list entry carries; lives as long as the main window. */
extern HBITMAP MapIconBitmap;
/* Mirrors the fullscreen check box. */
extern bool FullscreenEnabled;

/* The stored window position, read at start. */
extern int WindowPosX;
extern int WindowPosY;

/* The game's display and language choices as the main window shows them: the check box and
   the selected index of each list (-1 for none). */
struct GameChoices
{
    bool fullscreen;
    int windowMode;
    int fullscreenMode;
    int language;
};

/* The choices as Pelmar last read them from the game's ini or wrote them into it: only a
   choice the player has changed since is written, so what the game wrote stands. */
extern GameChoices GameChoicesOnFile;

#endif
