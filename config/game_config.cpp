#include "game_config.h"
#include "launcher_settings.h"
#include "profile.h"
#include "settings_text.h"
#include "text_helpers.h"
#include "../app/game_detect.h"
#include "../app/globals.h"
#include "../resources/resource.h"
#include "../ui/main_window.h"

#include <climits>
#include <cstdio>
#include <cstring>

static const char ClientSection[] = "WinDrv.WindowsClient";
static const char EngineSection[] = "Engine.Engine";

/* The three keys that hold one display mode. */
static const char *const WindowedModeKeys[3] = { "WindowedViewportX", "WindowedViewportY",
                                                 "WindowedColorBits" };
static const char *const FullscreenModeKeys[3] = { "FullscreenViewportX", "FullscreenViewportY",
                                                   "FullscreenColorBits" };

/* No game detected: every value takes its default, and nothing is read from ".\". */
static std::string ReadGameText(const char *section, const char *key, const char *fallback)
{
    if (ActiveGameIni.empty())
        return fallback;
    return ReadProfileText(section, key, fallback, LocalPath(ActiveGameIni));
}

static void LoadFullscreenState(HWND window)
{
    FullscreenEnabled = false;
    FullscreenEnabled = IsFullscreenValue(ReadGameText(ClientSection, "StartupFullscreen", "False"));
    if (FullscreenEnabled)
        SendDlgItemMessageA(window, IDC_FULLSCREEN, BM_SETCHECK, BST_CHECKED, 0);
    ApplyFullscreenState(window);
}

static void FillModeLists(HWND window)
{
    std::vector<std::array<unsigned long, 3> > modes;
    DEVMODEA mode;
    memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    for (DWORD index = 0; EnumDisplaySettingsA(nullptr, index, &mode); ++index)
        modes.push_back({ { mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel } });

    for (const std::string &text : ModeListTexts(modes))
    {
        SendDlgItemMessageA(window, IDC_FULLSCREEN_MODE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text.c_str()));
        SendDlgItemMessageA(window, IDC_WINDOW_MODE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text.c_str()));
    }
}

static void SelectGameMode(HWND window, int control, const char *const keys[3])
{
    std::string x = ReadGameText(ClientSection, keys[0], "");
    std::string y = ReadGameText(ClientSection, keys[1], "");
    std::string bits = ReadGameText(ClientSection, keys[2], "");
    char text[ModeTextSize];
    if (FormatSelectionText(text, sizeof(text), x, y, bits))
        SendDlgItemMessageA(window, control, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(text));
}

static void FillLanguageList(HWND window)
{
    std::string language = ToUpperCopy(ReadGameText(EngineSection, "Language", ""));
    for (const LanguageRow &row : LanguageTable)
    {
        std::string file = std::string(".\\Engine.") + row.code;
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::string entry = LanguageEntryText(row);
        SendDlgItemMessageA(window, IDC_LANGUAGE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.c_str()));
        if (language == ToUpperCopy(row.code))
            SendDlgItemMessageA(window, IDC_LANGUAGE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

/* The right or bottom edge of a window of that size at that position, at least one pixel
   past it and never beyond INT_MAX. */
static LONG FarEdge(int position, int size)
{
    long long edge = static_cast<long long>(position) + (size > 0 ? size : 1);
    return edge > INT_MAX ? INT_MAX : static_cast<LONG>(edge);
}

/* A stored position on a monitor since unplugged would hide the window: bring it back to
   the primary monitor's corner, as on a first start. */
static void MoveToStoredPosition(HWND window)
{
    int x = WindowPosX;
    int y = WindowPosY;
    /* Positions come from a hand-editable file and may be as large as INT_MAX. */
    RECT stored = { x, y, FarEdge(x, MainWindowWidth), FarEdge(y, MainWindowHeight) };
    if (!MonitorFromRect(&stored, MONITOR_DEFAULTTONULL))
    {
        MONITORINFO info;
        info.cbSize = sizeof(info);
        POINT origin = { 0, 0 };
        if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
        {
            x = info.rcWork.left;
            y = info.rcWork.top;
        }
        else
        {
            x = 0;
            y = 0;
        }
    }
    MoveWindow(window, x, y, MainWindowWidth, MainWindowHeight, TRUE);
}

void LoadSettings(HWND window)
{
    LoadFullscreenState(window);
    ReadLauncherSettings(window);
    FillModeLists(window);
    SelectGameMode(window, IDC_FULLSCREEN_MODE, FullscreenModeKeys);
    SelectGameMode(window, IDC_WINDOW_MODE, WindowedModeKeys);
    FillLanguageList(window);
    MoveToStoredPosition(window);
}

static bool HasSelection(HWND window, int control)
{
    return SendDlgItemMessageA(window, control, CB_GETCURSEL, 0, 0) != CB_ERR;
}

/* A list without selection has an empty text; writing it would blank the game's values,
   so its keys are left as the game has them. */
static void WriteGameMode(HWND window, int control, const char *const keys[3],
                          const std::string &file)
{
    if (!HasSelection(window, control))
        return;
    std::string text = ReadControlText(window, control);
    for (int piece = 1; piece <= 3; ++piece)
        WriteProfileText(ClientSection, keys[piece - 1], NthToken(text, "x", piece).c_str(), file);
}

static void WriteGameLanguage(HWND window, const std::string &file)
{
    if (!HasSelection(window, IDC_LANGUAGE))
        return;
    std::string code = LanguageCodeFromEntry(ReadControlText(window, IDC_LANGUAGE));
    WriteProfileText(EngineSection, "Language", code.c_str(), file);
}

void SaveSettings(HWND window, bool closing)
{
    memset(CommandLineBuffer, 0, sizeof(CommandLineBuffer));
    if (closing)
        WriteLauncherSettings(window);

    /* Only a configuration the game already has is written: the launcher creates none. */
    if (ActiveGameIni.empty())
        return;
    std::string file = LocalPath(ActiveGameIni);
    FILE *existing = fopen(file.c_str(), "r");
    if (!existing)
        return;

    WriteProfileText(ClientSection, "StartupFullscreen", FullscreenEnabled ? "True" : "False", file);
    WriteGameMode(window, IDC_WINDOW_MODE, WindowedModeKeys, file);
    WriteGameMode(window, IDC_FULLSCREEN_MODE, FullscreenModeKeys, file);
    WriteGameLanguage(window, file);

    fclose(existing);
}
