/* A stand-in for the game: it records how it was started, shows that in a small window
   and ends when the window is closed, or when the named event PelmarStandInQuit is set
   (the command line belongs to the launcher, so tests signal it another way). As it ends
   it writes what a player would have set in the game's menu: each line
   "file|section|key|value" of standin-menu.txt in its working folder. */
#include "standin_names.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

static const char RecordName[] = "standin-run.txt";

static char ShownText[4096];

/* The raw command line less the program's own name, as the launcher passed it. */
static const char *ArgumentsOf(const char *line)
{
    bool quoted = false;
    while (*line && (quoted || (*line != ' ' && *line != '\t')))
    {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    if (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

/* Written beside the executable: one line each, "cmdline=" then "cwd=". */
static void RecordStart(const char *arguments, const char *directory)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return;
    char *slash = strrchr(path, '\\');
    if (!slash || static_cast<size_t>(slash + 1 - path) + sizeof(RecordName) > sizeof(path))
        return;
    memcpy(slash + 1, RecordName, sizeof(RecordName));

    FILE *record = fopen(path, "wb");
    if (!record)
        return;
    fprintf(record, "cmdline=%s\ncwd=%s\n", arguments, directory);
    fclose(record);
}

/* The real game writes its ini as it ends. */
static void WriteMenuSettings()
{
    FILE *menu = fopen("standin-menu.txt", "rb");
    if (!menu)
        return;
    char line[1024];
    while (fgets(line, sizeof(line), menu))
    {
        line[strcspn(line, "\r\n")] = '\0';
        char *section = strchr(line, '|');
        char *key = section ? strchr(section + 1, '|') : nullptr;
        char *value = key ? strchr(key + 1, '|') : nullptr;
        if (!value)
            continue;
        *section++ = '\0';
        *key++ = '\0';
        *value++ = '\0';
        char file[MAX_PATH];
        snprintf(file, sizeof(file), ".\\%s", line);
        WritePrivateProfileStringA(section, key, value, file);
    }
    fclose(menu);
}

static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        InflateRect(&client, -8, -8);
        DrawTextA(dc, ShownText, -1, &client, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    const char *arguments = ArgumentsOf(GetCommandLineA());
    char directory[MAX_PATH] = { 0 };
    GetCurrentDirectoryA(sizeof(directory), directory);
    RecordStart(arguments, directory);
    snprintf(ShownText, sizeof(ShownText), "Stand-in game\r\n\r\nCommand line: %s\r\nFolder: %s",
             arguments, directory);

    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, StandInQuitEventName);

    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = StandInProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = StandInWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(StandInWindowClass, "Unreal (stand-in)", WS_OVERLAPPEDWINDOW, 200, 200, 480,
                                160, nullptr, nullptr, instance, nullptr);
    if (window)
        ShowWindow(window, showCommand);

    /* Tells a waiting test that the record is written. */
    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, StandInStartedEventName);
    if (started)
    {
        SetEvent(started);
        CloseHandle(started);
    }

    int exitCode = 0;
    for (;;)
    {
        DWORD woke = quit ? MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT)
                          : MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        if (quit && woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_FAILED)
            break;
        MSG message;
        bool ended = false;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
            {
                exitCode = static_cast<int>(message.wParam);
                ended = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (ended)
            break;
    }
    if (window && IsWindow(window))
        DestroyWindow(window);
    if (quit)
        CloseHandle(quit);
    WriteMenuSettings();
    return exitCode;
}
