#include "run_map.h"
#include "command_line.h"
#include "../app/globals.h"
#include "../config/game_config.h"
#include "../config/text_helpers.h"
#include "../resources/resource.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

static const char MainCaption[] = "Pelmar";

/* The wake mask as the Vista headers define it: newer headers add the touch and pointer
   bits, and with those the wait fails at once on Windows 7 and earlier. */
static_assert(QS_ALLINPUT == 0x4FF, "wake mask of Windows 6.0");

/* The start record as the shell expects it on each architecture. */
static_assert(sizeof(SHELLEXECUTEINFOA) == (sizeof(void *) == 4 ? 60 : 112), "start record layout");

/* The selected entry's text; false when there is none or it would not fit. */
/* LB_GETTEXT writes name through its LPARAM, which cppcheck does not see. */
// cppcheck-suppress constParameterPointer
static bool ReadSelectedMapName(HWND window, char *name, size_t size)
{
    HWND list = GetDlgItem(window, IDC_MAP_LIST);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return false;
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(size))
        return false;
    return SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name))
           != LB_ERR;
}

static bool GameExecutablePresent()
{
    if (ActiveGameExe.empty())
        return false;
    return GetFileAttributesA(LocalPath(ActiveGameExe).c_str()) != INVALID_FILE_ATTRIBUTES;
}

static void ReportMissingExecutable(HWND window)
{
    static const char format[] = "Cannot find %s for execution.";
    /* The name is one of the detected file names, each shorter than a path. */
    char message[sizeof(format) + MAX_PATH];
    snprintf(message, sizeof(message), format, ActiveGameExe.c_str());
    MessageBoxA(window, message, "Error", MB_ICONERROR | MB_OK);
}

void RunSelectedMap(HWND window)
{
    SaveSettings(window, false);

    char mapName[RunMapNameSize] = { 0 };
    if (!ReadSelectedMapName(window, mapName, sizeof(mapName)))
        return;

    char mapParams[ParamTextSize] = { 0 };
    char gameParams[ParamTextSize] = { 0 };
    GetWindowTextA(GetDlgItem(window, IDC_MAP_PARAMS), mapParams, sizeof(mapParams) - 1);
    GetWindowTextA(GetDlgItem(window, IDC_GAME_PARAMS), gameParams, sizeof(gameParams) - 1);

    memset(CommandLineBuffer, 0, sizeof(CommandLineBuffer));
    ComposeCommandLine(CommandLineBuffer, sizeof(CommandLineBuffer), mapName, mapParams, gameParams);

    if (!GameExecutablePresent())
    {
        ReportMissingExecutable(window);
        return;
    }

    char caption[RunningCaptionSize];
    FormatRunningCaption(caption, sizeof(caption), mapName);
    SetWindowTextA(window, caption);
    /* Disabling the window takes the focus away, and activation gives it to no control. */
    HWND focus = GetFocus();
    EnableWindow(window, FALSE);

    /* Asked to quit while the game runs: Pelmar ends behind the game, without coming to
       the front first. */
    if (RunAndWait(window, LocalPath(ActiveGameExe).c_str(), CommandLineBuffer) == QuitWhileRunning)
        return;

    /* The game writes what its player set in its own menu as it ends. */
    ShowGameSettings(window);
    SetWindowTextA(window, MainCaption);
    SetForegroundWindow(window);
    EnableWindow(window, TRUE);
    /* So that Enter runs the map again, as it did before the game. */
    if (focus && IsChild(window, focus))
        SetFocus(focus);
}

/* Dispatches what is queued. False when a quit message came: it is handed back through
   quitCode so the caller can post it again for the outer loop. */
static bool DispatchQueuedMessages(WPARAM *quitCode)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            *quitCode = message.wParam;
            return false;
        }
        DispatchMessageA(&message);
    }
    return true;
}

RunOutcome RunAndWait(HWND owner, const char *executable, const char *parameters)
{
    SHELLEXECUTEINFOA start;
    memset(&start, 0, sizeof(start));
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.hwnd = owner;
    start.lpVerb = "";
    start.lpFile = executable;
    start.lpParameters = parameters;
    start.lpDirectory = "";
    start.nShow = SW_SHOW;
    start.hProcess = nullptr;

    if (!ShellExecuteExA(&start) || !start.hProcess)
        return GameNotStarted;

    RunOutcome outcome;
    WPARAM quitCode = 0;
    for (;;)
    {
        DWORD woke = MsgWaitForMultipleObjects(1, &start.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 + 1)
        {
            /* Asked to quit while the game runs: stop waiting, the game runs on. */
            if (!DispatchQueuedMessages(&quitCode))
            {
                outcome = QuitWhileRunning;
                break;
            }
            continue;
        }
        /* Anything else leaves nothing to wait on. */
        outcome = woke == WAIT_OBJECT_0 ? GameEnded : WaitFailed;
        break;
    }
    CloseHandle(start.hProcess);

    if (outcome == QuitWhileRunning)
        PostQuitMessage(static_cast<int>(quitCode));
    return outcome;
}
