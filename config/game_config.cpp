#include "game_config.h"
#include "launcher_settings.h"
#include "profile.h"
#include "settings_text.h"
#include "text_helpers.h"
#include "../app/globals.h"
#include "../resources/resource.h"
#include "../ui/window_controls.h"
#include "../ui/window_place.h"

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

/* The check box and the enabled list follow the game's switch. */
static void ShowFullscreenState(HWND window)
{
    FullscreenEnabled = IsFullscreenValue(ReadGameText(ClientSection, "StartupFullscreen", "False"));
    SendDlgItemMessageA(window, IDC_FULLSCREEN, BM_SETCHECK, FullscreenEnabled ? BST_CHECKED : BST_UNCHECKED, 0);
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

/* A value the list does not hold leaves it without selection, also after an earlier one. */
static void SelectGameMode(HWND window, int control, const char *const keys[3])
{
    SendDlgItemMessageA(window, control, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
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
    for (const LanguageRow &row : LanguageTable)
    {
        std::string file = std::string(".\\Engine.") + row.code;
        if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::string entry = LanguageEntryText(row);
        SendDlgItemMessageA(window, IDC_LANGUAGE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

/* The list holds only the installed languages, so the entry of another one is found in it
   by no text and selects nothing. */
static void SelectGameLanguage(HWND window)
{
    SendDlgItemMessageA(window, IDC_LANGUAGE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    std::string language = ToUpperCopy(ReadGameText(EngineSection, "Language", ""));
    for (const LanguageRow &row : LanguageTable)
    {
        if (language != ToUpperCopy(row.code))
            continue;
        std::string entry = LanguageEntryText(row);
        SendDlgItemMessageA(window, IDC_LANGUAGE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

/* The selected entry's index, CB_ERR for none. */
static int SelectedIndex(HWND window, int control)
{
    return static_cast<int>(SendDlgItemMessageA(window, control, CB_GETCURSEL, 0, 0));
}

static GameChoices ShownGameChoices(HWND window)
{
    GameChoices shown;
    shown.fullscreen = FullscreenEnabled;
    shown.windowMode = SelectedIndex(window, IDC_WINDOW_MODE);
    shown.fullscreenMode = SelectedIndex(window, IDC_FULLSCREEN_MODE);
    shown.language = SelectedIndex(window, IDC_LANGUAGE);
    return shown;
}

void ShowGameSettings(HWND window)
{
    ShowFullscreenState(window);
    SelectGameMode(window, IDC_FULLSCREEN_MODE, FullscreenModeKeys);
    SelectGameMode(window, IDC_WINDOW_MODE, WindowedModeKeys);
    SelectGameLanguage(window);
    GameChoicesOnFile = ShownGameChoices(window);
}

void LoadSettings(HWND window)
{
    ReadLauncherSettings(window);
    FillModeLists(window);
    FillLanguageList(window);
    ShowGameSettings(window);
    MoveToStoredPosition(window);
}

/* A list without selection has an empty text; writing it would blank the game's values,
   so its keys are left as the game has them. */
static void WriteGameMode(HWND window, int control, const char *const keys[3],
                          const std::string &file)
{
    if (SelectedIndex(window, control) == CB_ERR)
        return;
    std::string text = ReadControlText(window, control);
    for (int piece = 1; piece <= 3; ++piece)
        WriteProfileText(ClientSection, keys[piece - 1], NthToken(text, "x", piece).c_str(), file);
}

static void WriteGameLanguage(HWND window, const std::string &file)
{
    if (SelectedIndex(window, IDC_LANGUAGE) == CB_ERR)
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

    /* What the player left alone is the file's: the game, an editor or another Pelmar may
       have changed it since it was read. */
    GameChoices shown = ShownGameChoices(window);
    if (shown.fullscreen != GameChoicesOnFile.fullscreen)
        WriteProfileText(ClientSection, "StartupFullscreen", shown.fullscreen ? "True" : "False", file);
    if (shown.windowMode != GameChoicesOnFile.windowMode)
        WriteGameMode(window, IDC_WINDOW_MODE, WindowedModeKeys, file);
    if (shown.fullscreenMode != GameChoicesOnFile.fullscreenMode)
        WriteGameMode(window, IDC_FULLSCREEN_MODE, FullscreenModeKeys, file);
    if (shown.language != GameChoicesOnFile.language)
        WriteGameLanguage(window, file);
    GameChoicesOnFile = shown;

    fclose(existing);
}
