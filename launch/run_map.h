/* Run: save the game's settings, start the game with the chosen map, wait for it. */
#ifndef PELMAR_RUN_MAP_H
#define PELMAR_RUN_MAP_H

#include <windows.h>

void RunSelectedMap(HWND window);

/* How the wait for the game ended. */
enum RunOutcome
{
    GameNotStarted,  /* no process came back from the shell: nothing was waited for */
    GameEnded,
    QuitWhileRunning,  /* a quit message came; posted again, the game runs on */
    WaitFailed
};

/* Starts executable with parameters and returns when its process has ended, dispatching
   the thread's messages meanwhile. Returns at once when no process was started. */
RunOutcome RunAndWait(HWND owner, const char *executable, const char *parameters);

#endif
