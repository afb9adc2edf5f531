// The launcher's own ".\Pelmar.ini": read by LoadSettings into the real main window,
// written by SaveSettings on close only.
#include "config/launcher_settings.h"
#include "ini_compare.h"
#include "main_dialog.h"

namespace
{
// A program folder of its own, the working directory while it lives, holding the
// launcher's file with that text unless it is null. No game is detected.
class SettingsFolder : public GameHere
{
public:
    explicit SettingsFolder(const char *pelmarIni) : GameHere("launcher-settings", "", "")
    {
        if (pelmarIni)
            WriteTextFile(PelmarIni(), pelmarIni);
    }

    std::vector<IniLine> Lines() const { return ParseIni(ReadTextFile(PelmarIni())); }

    std::string Value(const char *key) const { return IniValue(Lines(), "Main", key); }

    // A game file of that text, detected as the launcher would have found it.
    void AddGame(const std::string &text) const
    {
        WriteTextFile(GameIni(), text);
        ActiveGameIni = "UnrealTournament.ini";
    }

    std::string GameValue(const char *section, const char *key) const
    {
        return IniValue(ParseIni(ReadTextFile(GameIni())), section, key);
    }
};

// The fields and the place the window shows, and the place LoadSettings recorded.
std::string Shown(const MainDialog &dialog)
{
    const RECT at = dialog.Rect();
    return "[" + WindowText(dialog.Control(IDC_MAP_PARAMS)) + "] [" + WindowText(dialog.Control(IDC_GAME_PARAMS))
           + "] at " + std::to_string(at.left) + "," + std::to_string(at.top) + " recorded "
           + std::to_string(WindowPosX) + "," + std::to_string(WindowPosY);
}

std::string WithPosition(const std::string &position)
{
    return "[Main]\r\nHWndPos=" + position + "\r\n";
}

std::string Letters(size_t length)
{
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}
}

TEST(LauncherSettingsRead, NoFileGivesEmptyFieldsAndTopLeftCorner)
{
    SettingsFolder folder(nullptr);
    MainDialog dialog;
    SetDlgItemTextA(dialog.Window(), IDC_MAP_PARAMS, "left over");
    MoveWindow(dialog.Window(), 300, 200, MainWindowWidth, MainWindowHeight, FALSE);
    LoadSettings(dialog.Window());
    EXPECT_EQ("[] [] at 0,0 recorded 0,0", Shown(dialog));
    RECT rect = dialog.Rect();
    // The window keeps the size it was measured with.
    EXPECT_EQ(MainWindowWidth, rect.right - rect.left);
    EXPECT_EQ(MainWindowHeight, rect.bottom - rect.top);
    EXPECT_FALSE(FileExists(folder.PelmarIni()));
}

TEST(LauncherSettingsRead, MissingSectionOrKeysGiveDefaults)
{
    // The keys under another section; a Main section holding other keys only; an empty
    // file; a folder in place of the file.
    const char *const files[] = {
        "[Other]\r\nHWndPos=300,300\r\nParamsMap=wrong\r\nParamsGame=wrong\r\n[Main]\r\nUnrelated=1\r\n",
        "",
        nullptr,
    };
    for (const char *file : files)
    {
        SettingsFolder folder(file);
        if (!file)
            MakeFolder(folder.PelmarIni());
        LoadedDialog dialog;
        EXPECT_EQ("[] [] at 0,0 recorded 0,0", Shown(dialog)) << (file ? file : "folder");
    }
}

TEST(LauncherSettingsRead, StoredPositionsComeBackInsideTheWorkArea)
{
    // As stored, so a monitor left of or above the primary one keeps its place; shown with
    // the corner on the monitor's work area (one monitor here, its work area at 0,0).
    const char *const cases[][3] = {
        { "-40,200", "0,200", "-40,200" }, { "200,-40", "200,0", "200,-40" }, { "left,top", "0,0", "0,0" },
        { "150", "150,0", "150,0" },       { "", "0,0", "0,0" },              { " 64 , 32", "64,32", "64,32" },
    };
    for (const auto &c : cases)
    {
        SettingsFolder folder(WithPosition(c[0]).c_str());
        LoadedDialog dialog;
        EXPECT_EQ(std::string("[] [] at ") + c[1] + " recorded " + c[2], Shown(dialog)) << c[0];
    }
}

TEST(LauncherSettingsRead, PositionOffEveryMonitorComesBackToThePrimaryCorner)
{
    MONITORINFO primary;
    primary.cbSize = sizeof(primary);
    POINT origin = { 0, 0 };
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &primary));
    int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int bottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const std::string stored[] = {
        std::to_string(right + 50) + "," + std::to_string(bottom + 50),
        "10," + std::to_string(bottom + 10),
        "2147483647,2147483647",
        "99999999999999,5",
        "2147483000,100",
    };
    for (const std::string &position : stored)
    {
        SettingsFolder folder(WithPosition(position).c_str());
        LoadedDialog dialog;
        RECT rect = dialog.Rect();
        EXPECT_EQ(primary.rcWork.left, rect.left) << position;
        EXPECT_EQ(primary.rcWork.top, rect.top) << position;
        EXPECT_TRUE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr) << position;
        EXPECT_EQ(MainWindowWidth, rect.right - rect.left) << position;
    }
}

TEST(LauncherSettingsRead, PositionPartlyOffScreenStays)
{
    int right = GetSystemMetrics(SM_CXSCREEN);
    int bottom = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(right, 40);
    SettingsFolder folder(WithPosition(std::to_string(right - 30) + "," + std::to_string(bottom - 20)).c_str());
    LoadedDialog dialog;
    EXPECT_EQ(right - 30, dialog.Rect().left);
    EXPECT_EQ(bottom - 20, dialog.Rect().top);
}

TEST(LauncherSettingsRead, ValuesReadUpTo2047Characters)
{
    std::string longMap = Letters(3000);
    const std::string games(2047, 'g');
    SettingsFolder folder(("[Main]\r\nParamsMap=" + longMap + "\r\nParamsGame=" + games + "\r\n").c_str());
    LoadedDialog dialog;
    EXPECT_EQ(2047, GetWindowTextLengthA(dialog.Control(IDC_MAP_PARAMS)));
    std::vector<char> text(4096, '\0');
    GetWindowTextA(dialog.Control(IDC_MAP_PARAMS), text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(longMap.substr(0, 2047), std::string(text.data()));
    EXPECT_EQ(2047, GetWindowTextLengthA(dialog.Control(IDC_GAME_PARAMS)));
}

TEST(LauncherSettingsWrite, CloseWritesPositionAndFields)
{
    SettingsFolder folder(nullptr);
    {
        LoadedDialog dialog;
        dialog.SetField(IDC_MAP_PARAMS, "?Game=Botpack.CTFGame -log");
        dialog.SetField(IDC_GAME_PARAMS, "-nosound ini=\"My Settings.ini\"");
        dialog.MoveTo(130, 60);
        SaveSettings(dialog.Window(), true);
        EXPECT_EQ("130,60", folder.Value("HWndPos"));
        EXPECT_EQ("?Game=Botpack.CTFGame -log", folder.Value("ParamsMap"));
        EXPECT_EQ("-nosound ini=\"My Settings.ini\"", folder.Value("ParamsGame"));
        // Nothing else goes into the file.
        EXPECT_EQ(3u, folder.Lines().size());

        // A position partly off the left edge is saved as it is.
        dialog.SetField(IDC_GAME_PARAMS, "");
        dialog.MoveTo(-40, 200);
        SaveSettings(dialog.Window(), true);
        EXPECT_EQ("-40,200", folder.Value("HWndPos"));
        EXPECT_EQ("", folder.Value("ParamsGame"));
    }
    LoadedDialog next;
    EXPECT_EQ("[?Game=Botpack.CTFGame -log] [] at 0,200 recorded -40,200", Shown(next));
}

TEST(LauncherSettingsWrite, ClosedWhileMinimisedKeepsItsPlace)
{
    SettingsFolder folder(WithPosition("200,150").c_str());
    {
        LoadedDialog dialog;
        ShowWindow(dialog.Window(), SW_SHOWNOACTIVATE);
        ShowWindow(dialog.Window(), SW_MINIMIZE);
        PumpMessages();
        ASSERT_TRUE(IsIconic(dialog.Window()));
        // As the taskbar's Close does it.
        SendMessageA(dialog.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ("200,150", folder.Value("HWndPos"));
    }
    LoadedDialog next;
    EXPECT_EQ("[] [] at 200,150 recorded 200,150", Shown(next));
}

TEST(LauncherSettingsWrite, RunWritesNothingOfItsOwn)
{
    SettingsFolder folder(nullptr);
    LoadedDialog dialog;
    dialog.SetField(IDC_MAP_PARAMS, "-log");
    SaveSettings(dialog.Window(), false);
    EXPECT_FALSE(FileExists(folder.PelmarIni()));

    const std::string before = "[Main]\r\nHWndPos=10,20\r\nParamsMap=old\r\nParamsGame=older\r\n";
    WriteTextFile(folder.PelmarIni(), before);
    SaveSettings(dialog.Window(), false);
    EXPECT_EQ(before, ReadTextFile(folder.PelmarIni()));
}

TEST(LauncherSettingsWrite, FieldTextSavedUpTo1023Characters)
{
    SettingsFolder folder(nullptr);
    std::string typed = Letters(1500);
    LoadedDialog dialog;
    dialog.SetField(IDC_MAP_PARAMS, typed);
    dialog.SetField(IDC_GAME_PARAMS, typed.substr(0, 1023));
    SaveSettings(dialog.Window(), true);
    EXPECT_EQ(typed.substr(0, 1023), folder.Value("ParamsMap"));
    EXPECT_EQ(typed.substr(0, 1023), folder.Value("ParamsGame"));
}

TEST(LauncherSettingsWrite, OtherContentOfTheFileStays)
{
    SettingsFolder folder(
        "; kept by hand\r\n[Main]\r\nhwndpos=1,1\r\nExtra=keep me\r\n[Other]\r\nParamsMap=not mine\r\n");
    LoadedDialog dialog;
    dialog.SetField(IDC_MAP_PARAMS, "new");
    SaveSettings(dialog.Window(), true);
    // The existing key is set in its place, whatever the case of its name; the others are
    // added to the section.
    std::vector<IniLine> expected = {
        { "", "", "; kept by hand" },      { "Main", "hwndpos", "1,1" },
        { "Main", "Extra", "keep me" },    { "Main", "ParamsMap", "new" },
        { "Main", "ParamsGame", "" },      { "Other", "ParamsMap", "not mine" },
    };
    ExpectSameLines(expected, folder.Lines());
}

TEST(LauncherSettingsUnwritable, ReadOnlyFileStaysAndCloseGoesOn)
{
    const std::string before = "[Main]\r\nHWndPos=10,20\r\nParamsMap=old\r\nParamsGame=older\r\n";
    SettingsFolder folder(before.c_str());
    ASSERT_TRUE(SetFileAttributesA(folder.PelmarIni().c_str(), FILE_ATTRIBUTE_READONLY));
    folder.AddGame("[WinDrv.WindowsClient]\r\nStartupFullscreen=True\r\n");
    LoadedDialog dialog;
    EXPECT_EQ("old", dialog.Field(IDC_MAP_PARAMS));
    dialog.SetField(IDC_MAP_PARAMS, "changed");
    dialog.MoveTo(50, 50);
    dialog.ClickFullscreen();
    SaveSettings(dialog.Window(), true);
    EXPECT_EQ(before, ReadTextFile(folder.PelmarIni()));
    // The game's file is still written after the launcher's own could not be.
    EXPECT_EQ("False", folder.GameValue("WinDrv.WindowsClient", "StartupFullscreen"));
}

TEST(LauncherSettingsUnwritable, FolderInPlaceOfTheFile)
{
    SettingsFolder folder(nullptr);
    MakeFolder(folder.PelmarIni());
    WriteTextFile(folder.PelmarIni() + "\\inside.txt", "x");
    folder.AddGame("[WinDrv.WindowsClient]\r\nStartupFullscreen=False\r\n");
    LoadedDialog dialog;
    dialog.SetField(IDC_MAP_PARAMS, "changed");
    dialog.ClickFullscreen();
    SaveSettings(dialog.Window(), true);
    EXPECT_TRUE(IsFolder(folder.PelmarIni()));
    EXPECT_EQ("x", ReadTextFile(folder.PelmarIni() + "\\inside.txt"));
    EXPECT_EQ("True", folder.GameValue("WinDrv.WindowsClient", "StartupFullscreen"));
}
