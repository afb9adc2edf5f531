/* Process-wide values and the two shared text buffers. One thread reads and writes them. */
#ifndef PELMAR_GLOBALS_H
#define PELMAR_GLOBALS_H

#include <windows.h>

enum { CommandLineBufferSize = 1024, ProfileBufferSize = 2048 };

/* The game's command line; also scratch for control texts while saving settings. */
extern char CommandLineBuffer[CommandLineBufferSize];
/* Receives every profile-string read. */
extern char ProfileBuffer[ProfileBufferSize];

/* The main window's outer size, measured once after creation. */
extern int MainWindowWidth;
extern int MainWindowHeight;

extern HWND AboutWindow;

#endif
