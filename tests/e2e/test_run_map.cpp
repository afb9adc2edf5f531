#include "ini_compare.h"
#include "demo/standin/standin_names.h"
#include "launcher_process.h"
#include "standin_events.h"
#include "test_support.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

namespace
{
const char GameIni[] = "[Engine.Engine]\r\nLanguage=int\r\n[WinDrv.WindowsClient]\r\nWindowedViewportX=640\r\n"
                       "WindowedViewportY=480\r\nWindowedColorBits=16\r\nFullscreenViewportX=640\r\n"
                       "FullscreenViewportY=480\r\nFullscreenColorBits=16\r\n";

// A game folder with the stand-in as Unreal.exe and a game configuration, Pelmar started
// in it, and the stand-in's two events made beforehand so the test sees its start and
// can end it.
class RunMapTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(events_.Ready()); }

    void TearDown() override
    {
        // A failed test may leave a stand-in running: end it before its folder goes.
        events_.EndRunningGame();
        pelmar_.Kill();
    }

    // Pelmar started in a new game folder holding the maps, the game's file and, unless told
    // otherwise, the stand-in as Unreal.exe.
    bool StartedIn(const char *tag, std::initializer_list<std::string> maps, bool withExe = true)
    {
        game_.reset(new TempGameFolder(tag));
        game_->Write("System\\Unreal.ini", GameIni).Touch(maps);
        return (!withExe || game_->PutStandIn()) && pelmar_.Start(game_->System());
    }

    std::string RecordPath() const { return game_->InSystem("standin-run.txt"); }
    // What the stand-in wrote about its start under that name ("cmdline", "cwd"), or "<none>".
    std::string Recorded(const std::string &name) const
    {
        std::istringstream lines(ReadTextFile(RecordPath()));
        for (std::string line; std::getline(lines, line);)
            if (line.compare(0, name.size() + 1, name + "=") == 0)
                return line.substr(name.size() + 1);
        return "<none>";
    }

    HWND Main() const { return pelmar_.Main(); }
    HWND List() const { return pelmar_.Control(IDC_MAP_LIST); }

    // Picks the map with a click and types both fields, as a player does; then clicks Run
    // unless told not to.
    void Choose(const std::string &map, const std::string &mapParams, const std::string &gameParams,
                bool run = true)
    {
        int index = ListIndexOf(List(), map);
        ASSERT_LE(0, index) << map << " is not listed";
        ClickListItem(List(), index);
        ASSERT_EQ(index, SendMessageA(List(), LB_GETCURSEL, 0, 0));
        ASSERT_TRUE(IsWindowEnabled(pelmar_.Control(IDC_RUN)));
        TypeText(pelmar_.Control(IDC_MAP_PARAMS), mapParams);
        TypeText(pelmar_.Control(IDC_GAME_PARAMS), gameParams);
        ASSERT_EQ(mapParams, WindowText(pelmar_.Control(IDC_MAP_PARAMS)));
        ASSERT_EQ(gameParams, WindowText(pelmar_.Control(IDC_GAME_PARAMS)));
        if (run)
            Click(pelmar_.Control(IDC_RUN));
    }

    // Ends the running stand-in and waits until Pelmar is back from its run.
    bool EndStandIn()
    {
        events_.EndGame();
        bool back = WaitUntil([this] {
            return WindowText(Main()) == "Pelmar" && IsWindowEnabled(Main()) &&
                   !FindWindowA(StandInWindowClass, nullptr);
        }, 15000);
        events_.Reset();
        return back;
    }

    // Pelmar running the only map, the stand-in started by it and still running.
    void RunTheGame(const char *tag)
    {
        ASSERT_TRUE(StartedIn(tag, { "Maps\\Sample1.unr" }));
        Choose("Sample1", "", "");
        ASSERT_TRUE(events_.WaitStarted(15000)) << "the game was not started";
        ASSERT_EQ("Pelmar - [RUNNING: Sample1]", WindowText(Main()));
    }

    // Pelmar ended by itself while the game ran on; then the game is ended too.
    void ExpectPelmarEndedAndGameRunningOn()
    {
        EXPECT_EQ(0u, pelmar_.WaitForExit(5000)) << "Pelmar did not end (259: still running)";
        EXPECT_TRUE(events_.EndRunningGame()) << "the game must run on";
    }

    // The whole run: Pelmar running the map, repainting meanwhile, and back afterwards.
    void ExpectRun(const std::string &commandLine, const std::string &caption)
    {
        ASSERT_TRUE(events_.WaitStarted(15000)) << "the game was not started";
        ASSERT_TRUE(FileExists(RecordPath()));
        EXPECT_EQ(commandLine, Recorded("cmdline"));
        const std::string directory = Recorded("cwd");
        EXPECT_EQ(0, _stricmp(game_->System().c_str(), directory.c_str())) << directory;

        EXPECT_EQ(caption, WindowText(Main()));
        EXPECT_FALSE(IsWindowEnabled(Main()));
        // Pelmar is waiting for the game, and still paints what is uncovered.
        InvalidateRect(Main(), nullptr, TRUE);
        InvalidateRect(List(), nullptr, TRUE);
        EXPECT_TRUE(WaitUntil([this] {
            return !GetUpdateRect(Main(), nullptr, FALSE) && !GetUpdateRect(List(), nullptr, FALSE);
        }, 5000)) << "no repaint while the game runs";
        EXPECT_EQ(caption, WindowText(Main()));

        ASSERT_TRUE(EndStandIn()) << "Pelmar did not come back from the run";
        EXPECT_EQ("Pelmar", WindowText(Main()));
        EXPECT_TRUE(IsWindowEnabled(Main()));
        EXPECT_EQ(Main(), GetForegroundWindow());
    }

    std::unique_ptr<TempGameFolder> game_;
    LauncherProcess pelmar_;
    StandInEvents events_;
};
}

TEST_F(RunMapTest, RunClickedStartsTheGameWithMapAndBothFields)
{
    ASSERT_TRUE(StartedIn("e2e-run-click", { "Maps\\Sample1.unr", "Maps\\UPak\\DM-Deck16.unr" }));
    Choose("Sample1", "a=1?b=2", "x -y");
    ExpectRun("Sample1?a=1?b=2 -x -y", "Pelmar - [RUNNING: Sample1]");

    // And again, with the fields as they are meant to be typed.
    DeleteFileA(RecordPath().c_str());
    Choose("DM-Deck16", "?a=1", "-x");
    ExpectRun("DM-Deck16?a=1 -x", "Pelmar - [RUNNING: DM-Deck16]");
}

TEST_F(RunMapTest, EnterRunsTheSelectedMapWithEmptyFields)
{
    ASSERT_TRUE(StartedIn("e2e-run-enter", { "Maps\\DM-Morpheus.unr", "Maps\\Sample1.unr" }));
    Choose("DM-Morpheus", "", "", false);
    PressKey(pelmar_.Control(IDC_GAME_PARAMS), VK_RETURN);
    // The one blank stays when both fields are empty; eleven characters fill the caption.
    ExpectRun("DM-Morpheus ", "Pelmar - [RUNNING: DM-Morpheus]");
}

TEST_F(RunMapTest, LongMapNameCaptionFitsAndStaysReadable)
{
    const std::string map = "DM-LongMapName1";
    ASSERT_TRUE(StartedIn("e2e-run-long", { "Maps\\" + map + ".unr" }));
    Choose(map, "?a=1", "-x");
    ASSERT_TRUE(events_.WaitStarted(15000));
    EXPECT_EQ(map + "?a=1 -x", Recorded("cmdline"));

    std::string caption = WindowText(Main());
    const std::string prefix = "Pelmar - [RUNNING: ";
    EXPECT_LE(caption.size(), 31u) << caption;
    ASSERT_EQ(0u, caption.find(prefix)) << caption;
    ASSERT_EQ(']', caption.back()) << caption;
    std::string shown = caption.substr(prefix.size(), caption.size() - prefix.size() - 1);
    std::string::size_type cut = shown.find("...");
    ASSERT_NE(std::string::npos, cut) << "a cut name must look cut: " << caption;
    EXPECT_GE(cut, 8u) << caption;
    EXPECT_EQ(map.substr(0, cut), shown.substr(0, cut)) << caption;

    ASSERT_TRUE(EndStandIn());
    EXPECT_EQ("Pelmar", WindowText(Main()));
}

TEST_F(RunMapTest, FieldsLongerThanTheirStorageAreCut)
{
    ASSERT_TRUE(StartedIn("e2e-run-fields", { "Maps\\Sample1.unr" }));
    // 300 characters each, none needing a marker put in front: only the first 254 count.
    std::string mapParams(300, 'm');
    std::string gameParams = "-" + std::string(299, 'g');
    Choose("Sample1", mapParams, gameParams);
    ExpectRun("Sample1" + mapParams.substr(0, 254) + " " + gameParams.substr(0, 254),
              "Pelmar - [RUNNING: Sample1]");
}

TEST_F(RunMapTest, MissingExecutableReportedAfterSavingNothingStarted)
{
    ASSERT_TRUE(StartedIn("e2e-run-missing", { "Maps\\Sample1.unr" }));
    // Found at start, gone when Run is pressed.
    ASSERT_TRUE(DeleteFileA(game_->InSystem("Unreal.exe").c_str()));
    const std::string ini = game_->InSystem("Unreal.ini");
    const auto fullscreen = [&] {
        return IniValue(ParseIni(ReadTextFile(ini)), "WinDrv.WindowsClient", "StartupFullscreen");
    };
    ASSERT_EQ("<missing>", fullscreen());
    // A choice of the player's, which Run writes.
    Click(pelmar_.Control(IDC_FULLSCREEN));
    Choose("Sample1", "", "");

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = pelmar_.FindVisibleWindow("Error")) != nullptr; }, 10000));
    EXPECT_EQ(Main(), GetWindow(box, GW_OWNER));
    EXPECT_TRUE(Contains(ChildTexts(box), "Cannot find Unreal.exe for execution."));
    EXPECT_EQ("Pelmar", WindowText(Main()));
    EXPECT_FALSE(events_.HasStarted());
    EXPECT_FALSE(FileExists(RecordPath()));
    // The game configuration was brought up to date first; the launcher's own file waits
    // for the close.
    EXPECT_EQ("True", fullscreen());
    EXPECT_FALSE(FileExists(game_->InSystem("Pelmar.ini")));

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(Main()); }, 10000));
    EXPECT_EQ("Pelmar", WindowText(Main()));

    // With the game back, the same Run starts it.
    ASSERT_TRUE(game_->PutStandIn());
    Click(pelmar_.Control(IDC_RUN));
    ExpectRun("Sample1 ", "Pelmar - [RUNNING: Sample1]");
}

TEST_F(RunMapTest, NoGameDetectedAtStartNamesNoExecutable)
{
    ASSERT_TRUE(StartedIn("e2e-run-nogame", { "Maps\\Sample1.unr" }, false));
    // Too late: the game is detected once, at start.
    ASSERT_TRUE(game_->PutStandIn());
    Choose("Sample1", "", "");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = pelmar_.FindVisibleWindow("Error")) != nullptr; }, 10000));
    EXPECT_TRUE(Contains(ChildTexts(box), "Cannot find  for execution."));
    EXPECT_FALSE(events_.HasStarted());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
}

TEST_F(RunMapTest, DoubleClickOnAMapStartsNothing)
{
    ASSERT_TRUE(StartedIn("e2e-run-dblclk", { "Maps\\Sample1.unr" }));
    ClickListItem(List(), 0);
    RECT item = {};
    SendMessageA(List(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(List(), WM_LBUTTONUP, 0, at);
    Settle(List());
    EXPECT_FALSE(events_.WaitStarted(1500));
    EXPECT_FALSE(FileExists(RecordPath()));
    EXPECT_EQ("Pelmar", WindowText(Main()));
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_EQ(0, SendMessageA(List(), LB_GETCURSEL, 0, 0));

    // The same selection runs with Run.
    Click(pelmar_.Control(IDC_RUN));
    ExpectRun("Sample1 ", "Pelmar - [RUNNING: Sample1]");
}

TEST_F(RunMapTest, ClosedWhileTheGameRunsPelmarEndsAndTheGameRunsOn)
{
    RunTheGame("e2e-run-close");
    PostMessageA(Main(), WM_CLOSE, 0, 0);
    ExpectPelmarEndedAndGameRunningOn();
    // The close went through the usual way: the launcher's file was written.
    EXPECT_TRUE(FileExists(game_->InSystem("Pelmar.ini")));
}

