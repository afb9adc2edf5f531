/* Run: save the game's settings, start the game with the chosen map, wait for it. */
#ifndef PELMAR_RUN_MAP_H
#define PELMAR_RUN_MAP_H

#include <windows.h>

void RunSelectedMap(HWND window);

/* Starts executable with parameters and returns when its process has ended, dispatching
   the thread's messages meanwhile. Returns at once when no process was started. */
void RunAndWait(HWND owner, const char *executable, const char *parameters);

#endif
