// A player's settings from start to next start: chosen in the running launcher, written
// into the game's file by Run and into the launcher's own file by close, shown again when
// the launcher starts the next time.
#include "ini_compare.h"
#include "demo/standin/standin_names.h"
#include "launcher_process.h"
#include "standin_events.h"
#include "test_support.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
const char ClientSection[] = "WinDrv.WindowsClient";
const char EngineSection[] = "Engine.Engine";

// A game folder with maps, languages and the stand-in game as the executable.
void LayOutGame(const TempGameFolder &game, bool withConfiguration)
{
    game.Touch({ "Maps\\DM-Deck16.unr", "Maps\\DM-Tundra.unr", "Maps\\UPak\\Crashsite.unr" })
        .Languages({ "int", "det", "frt" });
    ASSERT_TRUE(game.PutStandIn("UnrealTournament.exe"));
    // The bytes only: the fixture itself is kept read-only.
    if (withConfiguration)
        game.Write("System\\UnrealTournament.ini", ReadTextFile(FixturePath("UnrealTournament-as-shipped.ini")));
}

// What a started launcher shows of the player's settings, one line each.
std::string Shown(const LauncherProcess &pelmar)
{
    const RECT at = WindowRect(pelmar.Main());
    return SwitchState(pelmar.Main()) + "\nwindow mode " + ComboSelectedText(pelmar.Control(IDC_WINDOW_MODE))
           + "\nfullscreen mode " + ComboSelectedText(pelmar.Control(IDC_FULLSCREEN_MODE))
           + "\nlanguage " + ComboSelectedText(pelmar.Control(IDC_LANGUAGE))
           + "\nmap options " + WindowText(pelmar.Control(IDC_MAP_PARAMS))
           + "\ngame options " + WindowText(pelmar.Control(IDC_GAME_PARAMS))
           + "\nat " + std::to_string(at.left) + "," + std::to_string(at.top);
}

// The launcher's file: position and both fields, one line each.
std::string LauncherFile(const std::string &path)
{
    const std::vector<IniLine> own = ParseIni(ReadTextFile(path));
    return IniValue(own, "Main", "HWndPos") + "\n" + IniValue(own, "Main", "ParamsMap") + "\n"
           + IniValue(own, "Main", "ParamsGame");
}

// Selects a map, presses Run, checks the running state while the game runs, ends the game
// and waits for the launcher to come back.
void RunMapAndEndGame(const LauncherProcess &pelmar, const StandInEvents &events, const std::string &map,
                      const std::function<void()> &whileRunning)
{
    HWND list = pelmar.Control(IDC_MAP_LIST);
    int index = ListIndexOf(list, map);
    ASSERT_GE(index, 0) << map;
    ClickListItem(list, index);
    ASSERT_TRUE(IsWindowEnabled(pelmar.Control(IDC_RUN)));
    Click(pelmar.Control(IDC_RUN));
    ASSERT_TRUE(events.WaitStarted());
    EXPECT_TRUE(WaitUntil([&] { return WindowText(pelmar.Main()) == "Pelmar - [RUNNING: " + map + "]"; }))
        << WindowText(pelmar.Main());
    whileRunning();
    events.EndGame();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(pelmar.Main()) == "Pelmar" && IsWindowEnabled(pelmar.Main()); }))
        << WindowText(pelmar.Main());
}
}

TEST(SettingsJourney, ChoicesReachBothFilesAndComeBack)
{
    TempGameFolder game("e2e-journey");
    ASSERT_NO_FATAL_FAILURE(LayOutGame(game, true));
    const std::string gameIni = game.InSystem("UnrealTournament.ini");
    const std::string pelmarIni = game.InSystem("Pelmar.ini");
    const std::vector<IniLine> shipped = ParseIni(ReadTextFile(gameIni));
    ASSERT_FALSE(shipped.empty());

    StandInEvents events;
    ASSERT_TRUE(events.Ready());
    std::string windowed, fullscreen;
    {
        LauncherProcess pelmar;
        ASSERT_TRUE(pelmar.Start(game.System()));
        // As shipped: fullscreen on, English.
        EXPECT_EQ("on", SwitchState(pelmar.Main()));
        EXPECT_EQ("English (INT)", ComboSelectedText(pelmar.Control(IDC_LANGUAGE)));

        std::vector<std::string> modes = ComboTexts(pelmar.Control(IDC_WINDOW_MODE));
        ASSERT_FALSE(modes.empty());
        EXPECT_EQ(modes, ComboTexts(pelmar.Control(IDC_FULLSCREEN_MODE)));
        windowed = modes.back();
        fullscreen = modes.front();

        Click(pelmar.Control(IDC_FULLSCREEN));
        ASSERT_EQ("off", SwitchState(pelmar.Main()));
        ASSERT_TRUE(SelectComboText(pelmar.Control(IDC_WINDOW_MODE), windowed)) << windowed;
        ASSERT_TRUE(SelectComboText(pelmar.Control(IDC_FULLSCREEN_MODE), fullscreen)) << fullscreen;
        ASSERT_TRUE(SelectComboText(pelmar.Control(IDC_LANGUAGE), "German (DET)"));
        TypeText(pelmar.Control(IDC_MAP_PARAMS), "?Mutator=Botpack.InstaGibDM");
        TypeText(pelmar.Control(IDC_GAME_PARAMS), "-log -nosound");
        ASSERT_EQ("-log -nosound", WindowText(pelmar.Control(IDC_GAME_PARAMS)));

        RunMapAndEndGame(pelmar, events, "DM-Tundra", [&] {
            // Run has written the game's file before starting the game, and nothing of the
            // launcher's own.
            std::vector<IniLine> lines = ParseIni(ReadTextFile(gameIni));
            EXPECT_EQ("False", IniValue(lines, ClientSection, "StartupFullscreen"));
            EXPECT_EQ("det", IniValue(lines, EngineSection, "Language"));
            EXPECT_FALSE(FileExists(pelmarIni));
        });
        EXPECT_FALSE(FileExists(pelmarIni));
        EXPECT_NE(std::string::npos, ReadTextFile(game.InSystem("standin-run.txt")).find("cmdline=DM-Tundra"));

        SetWindowPos(pelmar.Main(), nullptr, 140, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle(pelmar.Main());
        ASSERT_EQ(140, WindowRect(pelmar.Main()).left);
        ASSERT_EQ(90, WindowRect(pelmar.Main()).top);
        EXPECT_EQ(0u, pelmar.Close());
    }

    // The game's file: the new choices, everything else as it was, in its order.
    std::vector<IniLine> after = ParseIni(ReadTextFile(gameIni));
    std::vector<IniLine> values = ModeValues(windowed, fullscreen);
    values.push_back({ ClientSection, "StartupFullscreen", "False" });
    values.push_back({ EngineSection, "Language", "det" });
    ExpectSameLines(WithValues(shipped, values), after);

    EXPECT_EQ("140,90\n?Mutator=Botpack.InstaGibDM\n-log -nosound", LauncherFile(pelmarIni));

    // The next start shows it all.
    LauncherProcess next;
    ASSERT_TRUE(next.Start(game.System()));
    EXPECT_EQ("off\nwindow mode " + windowed + "\nfullscreen mode " + fullscreen
                  + "\nlanguage German (DET)\nmap options ?Mutator=Botpack.InstaGibDM\ngame options -log -nosound"
                  + "\nat 140,90",
              Shown(next));
    EXPECT_EQ(0u, next.Close());
    // Closing unchanged keeps every value.
    ExpectSameLines(after, ParseIni(ReadTextFile(gameIni)));
}

TEST(SettingsJourney, WithoutGameConfigurationOnlyTheLaunchersFileIsWritten)
{
    TempGameFolder game("e2e-journey-noini");
    ASSERT_NO_FATAL_FAILURE(LayOutGame(game, false));
    const std::string pelmarIni = game.InSystem("Pelmar.ini");
    StandInEvents events;
    ASSERT_TRUE(events.Ready());
    {
        LauncherProcess pelmar;
        ASSERT_TRUE(pelmar.Start(game.System()));
        EXPECT_EQ("off\nwindow mode \nfullscreen mode \nlanguage \nmap options \ngame options \nat 0,0", Shown(pelmar));
        std::vector<std::string> modes = ComboTexts(pelmar.Control(IDC_WINDOW_MODE));
        ASSERT_FALSE(modes.empty());
        ASSERT_TRUE(SelectComboText(pelmar.Control(IDC_WINDOW_MODE), modes.front()));
        ASSERT_TRUE(SelectComboText(pelmar.Control(IDC_LANGUAGE), "French (FRT)"));
        Click(pelmar.Control(IDC_FULLSCREEN));
        TypeText(pelmar.Control(IDC_MAP_PARAMS), "?Game=Botpack.CTFGame");
        TypeText(pelmar.Control(IDC_GAME_PARAMS), "-windowed");

        RunMapAndEndGame(pelmar, events, "Crashsite", [&] {
            EXPECT_FALSE(FileExists(game.InSystem("UnrealTournament.ini")));
            EXPECT_FALSE(FileExists(game.InSystem("Unreal.ini")));
            EXPECT_FALSE(FileExists(pelmarIni));
        });
        SetWindowPos(pelmar.Main(), nullptr, 60, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle(pelmar.Main());
        EXPECT_EQ(0u, pelmar.Close());
    }
    EXPECT_FALSE(FileExists(game.InSystem("UnrealTournament.ini")));
    EXPECT_FALSE(FileExists(game.InSystem("Unreal.ini")));
    EXPECT_EQ("60,250\n?Game=Botpack.CTFGame\n-windowed", LauncherFile(pelmarIni));

    // The launcher's own settings come back; the game's choices had nowhere to go.
    LauncherProcess next;
    ASSERT_TRUE(next.Start(game.System()));
    EXPECT_EQ("off\nwindow mode \nfullscreen mode \nlanguage \nmap options ?Game=Botpack.CTFGame"
              "\ngame options -windowed\nat 60,250",
              Shown(next));
    EXPECT_EQ(0u, next.Close());
    EXPECT_FALSE(FileExists(game.InSystem("UnrealTournament.ini")));
}

TEST(SettingsJourney, TwoPelmarsOpenAtOnceKeepEachOthersChoices)
{
    TempGameFolder game("journey-two");
    ASSERT_NO_FATAL_FAILURE(LayOutGame(game, true));
    const std::string ini = game.InSystem("UnrealTournament.ini");
    LauncherProcess first, second;
    ASSERT_TRUE(first.Start(game.System()));
    ASSERT_TRUE(second.Start(game.System()));
    // The first one's player picks French and turns fullscreen off; the second's picks nothing.
    ASSERT_TRUE(SelectComboText(first.Control(IDC_LANGUAGE), "French (FRT)"));
    Click(first.Control(IDC_FULLSCREEN));
    Settle(first.Main());
    EXPECT_EQ(0u, first.Close());
    EXPECT_EQ(0u, second.Close());
    const std::vector<IniLine> after = ParseIni(ReadTextFile(ini));
    EXPECT_EQ("frt", IniValue(after, EngineSection, "Language"));
    EXPECT_EQ("False", IniValue(after, ClientSection, "StartupFullscreen"));
}
