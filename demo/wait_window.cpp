/* Waits for a visible top-level dialog with the given caption, so the demo command can tell
   a launcher that came up from one that never did.
   Usage: wait_window <caption> <milliseconds>; exit code 0 when it appeared, 1 when not. */
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3)
    {
        fprintf(stderr, "usage: wait_window <caption> <milliseconds>\n");
        return 2;
    }
    const DWORD limit = strtoul(argv[2], nullptr, 10);
    const DWORD start = GetTickCount();
    for (;;)
    {
        HWND window = FindWindowA("#32770", argv[1]);
        if (window && IsWindowVisible(window))
            return 0;
        if (GetTickCount() - start >= limit)
            return 1;
        Sleep(100);
    }
}
