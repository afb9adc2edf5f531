// The game's own configuration: read into the real main window by LoadSettings, written
// back by SaveSettings, with nothing of the game's other settings lost.
#include "config/settings_text.h"
#include "ini_compare.h"
#include "main_dialog.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <optional>

namespace
{
const char ClientSection[] = "WinDrv.WindowsClient";
const char EngineSection[] = "Engine.Engine";

// A game folder of its own, the working directory while it lives, holding the given
// language files and, unless gameIni is null, the game's file with that text.
class GameFolder : public GameHere
{
public:
    explicit GameFolder(const std::optional<std::string> &gameIni,
                        std::initializer_list<const char *> languages = { "int" })
        : GameHere("game-config", "UnrealTournament.ini", "")
    {
        Languages(languages);
        if (gameIni)
            WriteTextFile(GameIni(), *gameIni);
    }

    std::vector<IniLine> Lines() const { return ParseIni(ReadTextFile(GameIni())); }

    std::string Value(const char *section, const char *key) const { return IniValue(Lines(), section, key); }

    // How many keys of that name the section holds, case ignored.
    int KeyCount(const std::string &section, const std::string &key) const
    {
        return static_cast<int>(Lines().size() - WithoutKeys(Lines(), { { section, key } }).size());
    }
};

// The game's display section with these lines, and its language when one is given.
std::string ClientIni(std::initializer_list<std::string> lines, const std::string &language = "")
{
    std::string text = "[WinDrv.WindowsClient]\r\n";
    for (const std::string &line : lines)
        text += line + "\r\n";
    return language.empty() ? text : text + "[Engine.Engine]\r\nLanguage=" + language + "\r\n";
}

std::string Shipped()
{
    return ReadTextFile(FixturePath("UnrealTournament-as-shipped.ini"));
}

// The display's modes in the system's order: width, height, bits.
std::vector<std::array<unsigned long, 3> > DisplayModes()
{
    std::vector<std::array<unsigned long, 3> > modes;
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    for (DWORD index = 0; EnumDisplaySettingsA(nullptr, index, &mode); ++index)
        modes.push_back({ { mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel } });
    return modes;
}

// The lists' entries: the display's modes as ModeListTexts (unit-tested) gives them.
std::vector<std::string> DisplayModeTexts()
{
    return ModeListTexts(DisplayModes());
}

// A mode of the display with 32 bits per pixel, as width and height.
bool PickMode32(std::string *x, std::string *y)
{
    for (const std::string &text : DisplayModeTexts())
        if (ModePieces(text)[2] == "32")
        {
            *x = ModePieces(text)[0];
            *y = ModePieces(text)[1];
            return true;
        }
    return false;
}

// For each test: the display's modes, and room for the one of 32 bits PickMode32 finds.
struct GameConfigTest : public ::testing::Test
{
    const std::vector<std::string> modes = DisplayModeTexts();
    std::string x, y;
};
using GameConfigRead = GameConfigTest;
using GameConfigWrite = GameConfigTest;
using GameConfigFixture = GameConfigTest;
}

TEST_F(GameConfigRead, FullscreenSwitchFromTheGamesValue)
{
    const struct { const char *line; bool on; } cases[] = {
        { "StartupFullscreen=True", true },   { "StartupFullscreen=TRUE", true },
        { "StartupFullscreen=true", true },   { "StartupFullscreen=1", true },
        { "StartupFullscreen=False", false }, { "StartupFullscreen=0", false },
        { "StartupFullscreen=yes", false },   { "StartupFullscreen=", false },
        { "StartupFullscreen=truee", false }, { "Other=True", false },
        // Only another section holds the key.
        { "Other=1\r\n[XDrv.XClient]\r\nStartupFullscreen=True", false },
    };
    for (const auto &c : cases)
    {
        GameFolder game(ClientIni({ c.line }));
        FullscreenEnabled = !c.on;
        LoadedDialog dialog;
        EXPECT_EQ(c.on, FullscreenEnabled) << c.line;
        EXPECT_EQ((c.on ? "on" : "off"), SwitchState(dialog.Window())) << c.line;
        // The language choice stays usable either way.
        EXPECT_TRUE(dialog.Enabled(IDC_LANGUAGE) && dialog.Enabled(IDC_LANGUAGE_LABEL)) << c.line;

        // A click afterwards flips both the value and the enabling.
        dialog.ClickFullscreen();
        EXPECT_EQ(!c.on, FullscreenEnabled) << c.line;
        EXPECT_EQ((c.on ? "off" : "on"), SwitchState(dialog.Window())) << c.line;
    }
}

// Which repeats are dropped is ModeListTexts' (unit tests); here: the display's own modes.
TEST_F(GameConfigRead, ModeListsHoldEveryModeOfTheDisplayInItsOrder)
{
    GameFolder game("");
    LoadedDialog dialog;
    std::vector<std::string> display;
    for (const auto &mode : DisplayModes())
        display.push_back(std::to_string(mode[0]) + "x" + std::to_string(mode[1]) + "x" + std::to_string(mode[2]));
    ASSERT_FALSE(display.empty());
    const std::vector<std::string> fullscreen = ComboTexts(dialog.Control(IDC_FULLSCREEN_MODE));
    EXPECT_EQ(fullscreen, ComboTexts(dialog.Control(IDC_WINDOW_MODE)));
    for (const std::string &mode : display)
        EXPECT_TRUE(Contains(fullscreen, mode)) << mode << " is not listed";
    // In the system's order: each entry found further on in the display's modes; no entry
    // the same as the one before.
    auto at = display.begin();
    for (size_t i = 0; i < fullscreen.size(); ++i)
    {
        at = std::find(at, display.end(), fullscreen[i]);
        ASSERT_TRUE(at != display.end()) << fullscreen[i] << " out of the system's order";
        EXPECT_TRUE(i == 0 || fullscreen[i - 1] != fullscreen[i]) << fullscreen[i] << " twice in a row";
    }
    // Nothing configured, nothing selected.
    EXPECT_FALSE(dialog.HasSelection(IDC_FULLSCREEN_MODE));
    EXPECT_FALSE(dialog.HasSelection(IDC_WINDOW_MODE));
}

TEST_F(GameConfigRead, SixteenBitsSelectTheThirtyTwoBitEntry)
{
    ASSERT_TRUE(PickMode32(&x, &y)) << Joined(modes);
    GameFolder game(ClientIni({ "FullscreenViewportX=" + x, "FullscreenViewportY=" + y, "FullscreenColorBits=16",
                                "WindowedViewportX=" + x, "WindowedViewportY=" + y, "WindowedColorBits=16" }));
    LoadedDialog dialog;
    EXPECT_EQ(x + "x" + y + "x32", dialog.Selected(IDC_FULLSCREEN_MODE));
    EXPECT_EQ(x + "x" + y + "x32", dialog.Selected(IDC_WINDOW_MODE));
}

TEST_F(GameConfigRead, ModesChosenByTheBeginningOfTheirText)
{
    ASSERT_TRUE(PickMode32(&x, &y)) << Joined(modes);
    const std::string prefix = x + "x" + y + "x";
    // The first entry of that size, whatever its depth.
    std::string firstOfSize;
    for (const std::string &text : modes)
        if (firstOfSize.empty() && text.compare(0, prefix.size(), prefix) == 0)
            firstOfSize = text;
    // Bits as stored, the entry selected.
    const std::string cases[][2] = {
        { "32", prefix + "32" }, { "3", prefix + "32" }, { "", firstOfSize }, { "016", "" },
        { "24", Contains(modes, prefix + "24") ? prefix + "24" : std::string() }, { "320", "" },
    };
    for (const auto &c : cases)
    {
        GameFolder game(ClientIni({ "WindowedViewportX=" + x, "WindowedViewportY=" + y, "WindowedColorBits=" + c[0] }));
        LoadedDialog dialog;
        EXPECT_EQ(c[1], dialog.Selected(IDC_WINDOW_MODE)) << "bits [" << c[0] << "]";
        EXPECT_FALSE(dialog.HasSelection(IDC_FULLSCREEN_MODE)) << "bits [" << c[0] << "]";
    }
}

TEST_F(GameConfigRead, UnmatchedOrOverLongValuesSelectNothing)
{
    ASSERT_TRUE(PickMode32(&x, &y)) << Joined(modes);
    // Over 19 characters, but an entry's text would begin the first 19 of them.
    std::string longDepth = "32" + std::string(20, '0');
    std::string huge(3000, '7');
    const std::string values[][3] = {
        { "12345", "678", "32" }, { x, y, longDepth }, { std::string(15, '0') + x, y, "32" },
        { huge, y, "32" },        { "", "", "" },      { x, "", "32" },
    };
    for (const auto &value : values)
    {
        GameFolder game(ClientIni({ "FullscreenViewportX=" + value[0], "FullscreenViewportY=" + value[1],
                                    "FullscreenColorBits=" + value[2] }));
        LoadedDialog dialog;
        EXPECT_FALSE(dialog.HasSelection(IDC_FULLSCREEN_MODE))
            << value[0].substr(0, 30) << " " << value[1] << " " << value[2].substr(0, 30) << ": "
            << dialog.Selected(IDC_FULLSCREEN_MODE);
    }
}

TEST_F(GameConfigRead, LanguageCodeMatchedWhateverItsCase)
{
    for (const char *language : { "int", "INT", "Int" })
    {
        GameFolder game(std::string("[Engine.Engine]\r\nLanguage=") + language + "\r\n",
                        { "int", "det", "frt", "ctt" });
        LoadedDialog dialog;
        EXPECT_EQ("English (INT)", dialog.Selected(IDC_LANGUAGE)) << language;
        EXPECT_EQ(4, SendMessageA(dialog.Control(IDC_LANGUAGE), CB_GETCOUNT, 0, 0)) << language;
    }
}

TEST_F(GameConfigRead, OnlyInstalledLanguagesListedInTextOrder)
{
    GameFolder game("[Engine.Engine]\r\nLanguage=int\r\n", { "int", "ctt" });
    LoadedDialog dialog;
    // Catalan comes last in the table but first in the list, and the selection made for
    // English stays on English.
    EXPECT_EQ(std::vector<std::string>({ "Catalan (CTT)", "English (INT)" }), ComboTexts(dialog.Control(IDC_LANGUAGE)));
    EXPECT_EQ("English (INT)", dialog.Selected(IDC_LANGUAGE));
}

TEST_F(GameConfigRead, EveryLanguageOfTheTableWhenAllAreInstalled)
{
    // Files of other names are not languages.
    GameFolder game("[Engine.Engine]\r\nLanguage=ctt\r\n", { "int", "det", "itt", "est", "plt", "rut", "frt", "hut",
                                                             "ptt", "czt", "set", "ctt", "u", "intx" });
    LoadedDialog dialog;
    std::vector<std::string> expected = { "Catalan (CTT)", "Czech (CZT)",      "English (INT)", "French (FRT)",
                                          "German (DET)",  "Hungarian (HUT)",  "Italian (ITT)", "Polish (PLT)",
                                          "Portuguese (PTT)", "Russian (RUT)", "Spanish (EST)", "Swedish (SET)" };
    EXPECT_EQ(expected, ComboTexts(dialog.Control(IDC_LANGUAGE)));
    EXPECT_EQ("Catalan (CTT)", dialog.Selected(IDC_LANGUAGE));
}

TEST_F(GameConfigRead, FolderNamedLikeALanguageFileCountsAsInstalled)
{
    GameFolder game("[Engine.Engine]\r\nLanguage=DET\r\n");
    MakeFolder(game.InSystem("Engine.det"));
    LoadedDialog dialog;
    EXPECT_EQ(std::vector<std::string>({ "English (INT)", "German (DET)" }), ComboTexts(dialog.Control(IDC_LANGUAGE)));
    EXPECT_EQ("German (DET)", dialog.Selected(IDC_LANGUAGE));
}

TEST_F(GameConfigRead, LanguageNotInstalledOrUnknownSelectsNothing)
{
    for (const char *language : { "det", "xyz", "", "English (INT)", "in" })
    {
        GameFolder game(std::string("[Engine.Engine]\r\nLanguage=") + language + "\r\n");
        LoadedDialog dialog;
        EXPECT_FALSE(dialog.HasSelection(IDC_LANGUAGE)) << language;
        EXPECT_EQ(std::vector<std::string>({ "English (INT)" }), ComboTexts(dialog.Control(IDC_LANGUAGE)));
    }
}

TEST_F(GameConfigRead, WithoutGameConfigurationEverythingTakesItsDefault)
{
    // No game detected, a detected file since removed, and a folder in its place.
    for (int variant = 0; variant < 3; ++variant)
    {
        GameFolder game(std::nullopt);
        if (variant == 0)
            ActiveGameIni.clear();
        if (variant == 2)
            MakeFolder(game.GameIni());
        LoadedDialog dialog;
        EXPECT_FALSE(FullscreenEnabled) << variant;
        EXPECT_EQ("off", SwitchState(dialog.Window())) << variant;
        EXPECT_EQ(modes, ComboTexts(dialog.Control(IDC_WINDOW_MODE))) << variant;
        EXPECT_FALSE(dialog.HasSelection(IDC_FULLSCREEN_MODE)) << variant;
        EXPECT_FALSE(dialog.HasSelection(IDC_WINDOW_MODE)) << variant;
        EXPECT_EQ(std::vector<std::string>({ "English (INT)" }), ComboTexts(dialog.Control(IDC_LANGUAGE)));
        EXPECT_FALSE(dialog.HasSelection(IDC_LANGUAGE)) << variant;
    }
}

TEST_F(GameConfigWrite, SelectedEntriesWrittenKeyByKeyInOrder)
{
    ASSERT_FALSE(modes.empty());
    // An existing but empty file: every key is new, so the file shows the order of writing.
    GameFolder game("", { "int", "det" });
    LoadedDialog dialog;
    dialog.ClickFullscreen();
    ASSERT_TRUE(dialog.Select(IDC_WINDOW_MODE, modes.back()));
    ASSERT_TRUE(dialog.Select(IDC_FULLSCREEN_MODE, modes.front()));
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "German (DET)"));
    SaveSettings(dialog.Window(), false);

    std::vector<IniLine> expected = { { ClientSection, "StartupFullscreen", "True" } };
    for (const IniLine &line : ModeValues(modes.back(), modes.front()))
        expected.push_back(line);
    expected.push_back({ EngineSection, "Language", "det" });
    ExpectSameLines(expected, game.Lines());
    // Run writes nothing of the launcher's own.
    EXPECT_FALSE(FileExists(game.PelmarIni()));
}

TEST_F(GameConfigWrite, FullscreenSwitchAndLanguageWrittenEitherWay)
{
    ASSERT_TRUE(PickMode32(&x, &y)) << Joined(modes);
    GameFolder game(ClientIni({ "StartupFullscreen=1", "FullscreenViewportX=" + x, "FullscreenViewportY=" + y,
                                "FullscreenColorBits=32" }, "CTT"), { "int", "ctt" });
    LoadedDialog dialog;
    ASSERT_TRUE(FullscreenEnabled);
    // Left alone, the game's values stand as the game spelt them.
    SaveSettings(dialog.Window(), false);
    EXPECT_EQ("1", game.Value(ClientSection, "StartupFullscreen"));
    EXPECT_EQ("CTT", game.Value(EngineSection, "Language"));

    // Each switched the other way.
    dialog.ClickFullscreen();
    ASSERT_FALSE(dialog.Enabled(IDC_FULLSCREEN_MODE));
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "English (INT)"));
    SaveSettings(dialog.Window(), true);
    EXPECT_EQ("False", game.Value(ClientSection, "StartupFullscreen"));
    EXPECT_EQ(x, game.Value(ClientSection, "FullscreenViewportX"));
    EXPECT_EQ(y, game.Value(ClientSection, "FullscreenViewportY"));
    EXPECT_EQ("32", game.Value(ClientSection, "FullscreenColorBits"));
    EXPECT_EQ("int", game.Value(EngineSection, "Language"));
    EXPECT_EQ(1, game.KeyCount(EngineSection, "Language"));
}

TEST_F(GameConfigWrite, ListWithoutSelectionKeepsTheGamesValues)
{
    ASSERT_TRUE(PickMode32(&x, &y)) << Joined(modes);
    GameFolder game(ClientIni({ "WindowedViewportX=12345", "WindowedViewportY=678", "WindowedColorBits=32",
                                "FullscreenViewportX=" + x, "FullscreenViewportY=" + y, "FullscreenColorBits=16",
                                "StartupFullscreen=False" }, "xyz"));
    LoadedDialog dialog;
    ASSERT_FALSE(dialog.HasSelection(IDC_WINDOW_MODE));
    ASSERT_FALSE(dialog.HasSelection(IDC_LANGUAGE));
    SaveSettings(dialog.Window(), false);
    SaveSettings(dialog.Window(), true);
    EXPECT_EQ("12345", game.Value(ClientSection, "WindowedViewportX"));
    EXPECT_EQ("678", game.Value(ClientSection, "WindowedViewportY"));
    EXPECT_EQ("32", game.Value(ClientSection, "WindowedColorBits"));
    EXPECT_EQ("xyz", game.Value(EngineSection, "Language"));
    // The list that found its mode was left alone too: the game's 16 bits stay.
    ASSERT_TRUE(dialog.HasSelection(IDC_FULLSCREEN_MODE));
    EXPECT_EQ(x, game.Value(ClientSection, "FullscreenViewportX"));
    EXPECT_EQ("16", game.Value(ClientSection, "FullscreenColorBits"));
}

TEST_F(GameConfigWrite, NoSelectionAddsNoEmptyKeys)
{
    GameFolder game("[Engine.Engine]\r\nGameEngine=Engine.GameEngine\r\n", {});
    LoadedDialog dialog;
    SaveSettings(dialog.Window(), false);
    std::vector<IniLine> expected = { { EngineSection, "GameEngine", "Engine.GameEngine" } };
    ExpectSameLines(expected, game.Lines());
}

TEST_F(GameConfigWrite, WithoutGameConfigurationNoneIsCreated)
{
    ASSERT_FALSE(modes.empty());
    for (bool detected : { true, false })
    {
        GameFolder game(std::nullopt);
        if (!detected)
            ActiveGameIni.clear();
        LoadedDialog dialog;
        // Choices made, as a player would before Run.
        ASSERT_TRUE(dialog.Select(IDC_WINDOW_MODE, modes.front()));
        ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "English (INT)"));
        dialog.ClickFullscreen();
        SaveSettings(dialog.Window(), false);
        EXPECT_FALSE(FileExists(game.GameIni())) << detected;
        EXPECT_FALSE(FileExists(game.PelmarIni())) << detected;
        SaveSettings(dialog.Window(), true);
        EXPECT_TRUE(FileExists(game.PelmarIni())) << detected;

        // Nothing but the launcher's file and the language file is in the folder.
        std::vector<std::string> names = FoundNames(game.InSystem("*"));
        EXPECT_EQ(2u, names.size()) << detected << ": " << Joined(names);
    }
}

TEST_F(GameConfigFixture, GamesOtherSettingsSurviveUnchanged)
{
    const std::string shipped = Shipped();
    ASSERT_FALSE(shipped.empty());
    GameFolder game(shipped);
    LoadedDialog dialog;
    // As shipped: fullscreen on, 640x480 at 16 bits for both, English.
    EXPECT_TRUE(FullscreenEnabled);
    EXPECT_EQ("English (INT)", dialog.Selected(IDC_LANGUAGE));
    bool found640 = Contains(modes, "640x480x32");
    EXPECT_EQ(found640 ? "640x480x32" : "", dialog.Selected(IDC_FULLSCREEN_MODE));
    EXPECT_EQ(found640 ? "640x480x32" : "", dialog.Selected(IDC_WINDOW_MODE));

    // Nothing changed by the player: Run, then close. A mode found at 16 bits stays 16.
    SaveSettings(dialog.Window(), false);
    SaveSettings(dialog.Window(), true);
    ExpectSameLines(ParseIni(shipped), game.Lines());
}

TEST_F(GameConfigFixture, EditedWhilePelmarIsOpenOnlyThePlayersChoiceIsWritten)
{
    const std::string shipped = Shipped();
    ASSERT_FALSE(shipped.empty());
    ASSERT_FALSE(modes.empty());
    GameFolder game(shipped, { "int", "det" });
    LoadedDialog dialog;
    // A text editor, the game or another Pelmar changes what this one has shown.
    const std::vector<IniLine> edits = { { ClientSection, "StartupFullscreen", "False" },
                                         { ClientSection, "FullscreenViewportX", "1234" },
                                         { EngineSection, "Language", "det" } };
    for (const IniLine &edit : edits)
        WritePrivateProfileStringA(edit.section.c_str(), edit.key.c_str(), edit.value.c_str(), game.GameIni().c_str());
    const std::vector<IniLine> edited = WithValues(ParseIni(shipped), edits);
    SaveSettings(dialog.Window(), false);
    SaveSettings(dialog.Window(), true);
    ExpectSameLines(edited, game.Lines());

    // What the player then picks in the window is written, and only that.
    ASSERT_TRUE(dialog.Select(IDC_WINDOW_MODE, modes.back()));
    SaveSettings(dialog.Window(), true);
    std::vector<std::string> w = ModePieces(modes.back());
    ExpectSameLines(WithValues(edited, { { ClientSection, "WindowedViewportX", w[0] },
                                         { ClientSection, "WindowedViewportY", w[1] },
                                         { ClientSection, "WindowedColorBits", w[2] } }),
                    game.Lines());
}

TEST_F(GameConfigFixture, PlayersChoicesWrittenAndNothingElseTouched)
{
    const std::string shipped = Shipped();
    ASSERT_FALSE(shipped.empty());
    ASSERT_FALSE(modes.empty());
    GameFolder game(shipped, { "int", "frt" });
    LoadedDialog dialog;
    dialog.ClickFullscreen();
    ASSERT_TRUE(dialog.Select(IDC_WINDOW_MODE, modes.back()));
    ASSERT_TRUE(dialog.Select(IDC_FULLSCREEN_MODE, modes.front()));
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "French (FRT)"));
    SaveSettings(dialog.Window(), false);

    std::vector<IniLine> after = game.Lines();
    ExpectSameLines(WithoutKeys(ParseIni(shipped), GameOwnedKeys), WithoutKeys(after, GameOwnedKeys));
    std::vector<IniLine> values = ModeValues(modes.back(), modes.front());
    values.push_back({ ClientSection, "StartupFullscreen", "False" });
    values.push_back({ EngineSection, "Language", "frt" });
    ExpectSameLines(WithValues(ParseIni(shipped), values), after);
    for (const auto &owned : GameOwnedKeys)
        EXPECT_EQ(1, game.KeyCount(owned.first, owned.second)) << owned.second;
}

TEST(GameConfigUnwritable, ReadOnlyGameFileStaysAsItWas)
{
    const std::string shipped = Shipped();
    GameFolder game(shipped, { "int", "det" });
    ASSERT_TRUE(SetFileAttributesA(game.GameIni().c_str(), FILE_ATTRIBUTE_READONLY));
    LoadedDialog dialog;
    dialog.ClickFullscreen();
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "German (DET)"));
    SetDlgItemTextA(dialog.Window(), IDC_MAP_PARAMS, "-log");
    SaveSettings(dialog.Window(), false);
    EXPECT_EQ(shipped, ReadTextFile(game.GameIni()));
    SaveSettings(dialog.Window(), true);
    EXPECT_EQ(shipped, ReadTextFile(game.GameIni()));
    // The close still saved the launcher's own settings.
    EXPECT_EQ("-log", IniValue(ParseIni(ReadTextFile(game.PelmarIni())), "Main", "ParamsMap"));
}

TEST(GameConfigUnwritable, FolderInPlaceOfTheGameFile)
{
    GameFolder game(std::nullopt);
    MakeFolder(game.GameIni());
    WriteTextFile(game.GameIni() + "\\inside.txt", "x");
    LoadedDialog dialog;
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "English (INT)"));
    SaveSettings(dialog.Window(), false);
    SaveSettings(dialog.Window(), true);
    EXPECT_TRUE(IsFolder(game.GameIni()));
    EXPECT_EQ("x", ReadTextFile(game.GameIni() + "\\inside.txt"));
    EXPECT_TRUE(FileExists(game.PelmarIni()));
}

TEST(GameConfigUnwritable, ReadOnlyProgramFolder)
{
    // A read-only folder does not stop the replacing of a file in it (and for an
    // administrator not even the making of a new one): whatever the launcher manages to
    // write, nothing of the game's other settings may be lost.
    const std::string shipped = Shipped();
    GameFolder game(shipped, { "int", "det" });
    const std::string folder = game.System();
    ASSERT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    LoadedDialog dialog;
    ASSERT_TRUE(dialog.Select(IDC_LANGUAGE, "German (DET)"));
    SetDlgItemTextA(dialog.Window(), IDC_MAP_PARAMS, "-log");
    SaveSettings(dialog.Window(), true);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);

    std::vector<IniLine> after = game.Lines();
    ExpectSameLines(WithoutKeys(ParseIni(shipped), GameOwnedKeys), WithoutKeys(after, GameOwnedKeys));
    std::string language = game.Value(EngineSection, "Language");
    EXPECT_TRUE(language == "det" || language == "int") << language;
    bool exists = false;
    const std::string pelmar = ReadTextFile(game.PelmarIni(), &exists);
    if (exists)
    {
        EXPECT_EQ("-log", IniValue(ParseIni(pelmar), "Main", "ParamsMap"));
    }
    printf("read-only folder: game file written: %s, launcher file written: %s\n",
           language == "det" ? "yes" : "no", exists ? "yes" : "no");
}

TEST_F(GameConfigFixture, SavedByAnEditorWithAByteOrderMark)
{
    const std::string mark = "\xEF\xBB\xBF";
    GameFolder game(mark + ClientIni({ "StartupFullscreen=True" }, "int"));
    LoadedDialog dialog;
    EXPECT_TRUE(FullscreenEnabled);
    EXPECT_EQ("English (INT)", dialog.Selected(IDC_LANGUAGE));
    dialog.ClickFullscreen();
    SaveSettings(dialog.Window(), true);
    const std::string text = ReadTextFile(game.GameIni());
    ASSERT_EQ(mark, text.substr(0, 3)) << "the editor's mark must stay";
    ExpectSameLines(ParseIni(ClientIni({ "StartupFullscreen=False" }, "int")), ParseIni(text.substr(3)));
}
