// Run from the real main window, in-process, with the stand-in as the game: what the wait
// leaves behind and how the window comes back afterwards.
#include "launch/map_catalogue.h"
#include "launch/run_map.h"
#include "demo/standin/standin_names.h"
#include "standin_events.h"
#include "ini_compare.h"
#include "main_dialog.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace
{
// A game folder with the stand-in as Unreal.exe and one map, the working directory while it
// lives, detected as the launcher finds it at start, with the stand-in's two events.
class StandInGame : public GameHere
{
public:
    explicit StandInGame(const char *tag) : GameHere(tag, "", "Unreal.exe")
    {
        copied_ = Touch({ "Maps\\Sample1.unr" }).PutStandIn();
    }

    bool Ready() const { return copied_ && events_.Ready(); }
    const StandInEvents &Events() const { return events_; }

private:
    bool copied_ = false;
    StandInEvents events_;
};

// One run of the stand-in, told beforehand to quit: it ends as soon as it has started.
bool RunShortGame(const StandInGame &game, RunOutcome *outcome = nullptr)
{
    game.Events().Reset();
    game.Events().EndGame();
    RunOutcome ended = RunAndWait(nullptr, ".\\Unreal.exe", "Sample1");
    if (outcome)
        *outcome = ended;
    return game.Events().HasStarted();
}

// The code of the quit that reaches Pelmar while the game runs.
const WPARAM QuitCode = 3;

// The quit message waiting in this thread's queue, removed: its code, or -1 when none.
long TakeQuitMessage()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return -1;
    return static_cast<long>(message.wParam);
}

// Once the stand-in has started and holds the foreground, so that a main window brought
// forward afterwards would show: ends the game, or, given a thread, posts that thread a quit
// with QuitCode, as a quit that reaches Pelmar while the game runs. Works on a thread of its
// own, since the test's thread is inside the wait; each of its waits is bounded, and Join
// stops it early.
class OnceGameInFront
{
public:
    OnceGameInFront(const StandInGame &game, DWORD quitThread = 0, std::function<void()> whileInFront = nullptr)
        : thread_([this, &game, quitThread, whileInFront] {
              bool started = false;
              for (int i = 0; i < 750 && !stop_ && !(started = game.Events().HasStarted()); ++i)
                  Sleep(20);
              for (int i = 0; started && i < 250 && !stop_ && !inFront_; ++i)
              {
                  HWND window = FindWindowA(StandInWindowClass, nullptr);
                  if (!(inFront_ = window && GetForegroundWindow() == window))
                      Sleep(20);
              }
              if (stop_)
                  return;
              if (started && whileInFront)
                  whileInFront();
              if (quitThread)
                  PostThreadMessageA(quitThread, WM_QUIT, QuitCode, 0);
              else
                  game.Events().EndGame();
          })
    {
    }
    ~OnceGameInFront() { Join(); }

    bool Ready() const { return thread_.joinable(); }
    void Join()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    // Whether the game held the foreground when the thread acted.
    bool GameWasInFront() const { return inFront_; }

private:
    std::atomic<bool> stop_{ false }, inFront_{ false };
    std::thread thread_;   // declared last: it starts at once and reads the flags
};

const char RunningCaption[] = "caption Pelmar - [RUNNING: Sample1]";

// Records in steps what the watched window was told, in order, each step as the window stood
// after it.
SentMessageHook StepRecorder(HWND window, std::vector<std::string> *steps)
{
    return SentMessageHook([window, steps](const CWPRETSTRUCT &sent) {
        if (sent.hwnd != window)
            return;
        if (sent.message == WM_SETTEXT)
            steps->push_back("caption " + WindowText(window));
        else if (sent.message == WM_ACTIVATE)
            steps->push_back(LOWORD(sent.wParam) == WA_INACTIVE ? "deactivated" : "activated");
        else if (sent.message == WM_ENABLE)
            steps->push_back(sent.wParam ? "enabled" : "disabled");
    });
}

// The steps of the window's return after the running caption, in order.
std::vector<std::string> ReturnSteps(const std::vector<std::string> &steps)
{
    std::vector<std::string> back;
    bool running = false;
    for (const std::string &step : steps)
    {
        if (step == RunningCaption)
            running = true;
        else if (running && (step == "caption Pelmar" || step == "activated" || step == "enabled"))
            back.push_back(step);
    }
    return back;
}

// What the message boxes of this thread showed, read when each had been set up, then closed
// with OK.
struct ShownBox
{
    std::string caption;
    HWND owner = nullptr;
    HICON icon = nullptr;
    std::vector<std::string> texts;
    std::vector<int> buttons;
};

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM param)
{
    ShownBox *box = reinterpret_cast<ShownBox *>(param);
    if (ClassName(child) == "Button")
        box->buttons.push_back(GetDlgCtrlID(child));
    else if (ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        box->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    box->texts.push_back(WindowText(child));
    return TRUE;
}

class BoxCloser
{
public:
    BoxCloser()
        : hook_([this](const CWPRETSTRUCT &sent) {
              if (sent.message != WM_INITDIALOG)
                  return;
              boxes_.emplace_back();
              boxes_.back().caption = WindowText(sent.hwnd);
              boxes_.back().owner = GetWindow(sent.hwnd, GW_OWNER);
              EnumChildWindows(sent.hwnd, ReadBoxChild, reinterpret_cast<LPARAM>(&boxes_.back()));
              PostMessageA(sent.hwnd, WM_COMMAND, IDOK, 0);
          })
    {
    }
    bool Ready() const { return hook_.Ready(); }
    const std::vector<ShownBox> &Boxes() const { return boxes_; }

private:
    std::vector<ShownBox> boxes_;
    SentMessageHook hook_;
};

// Run pressed in the main window, shown in front with Sample1 selected as a player leaves it,
// the stand-in as the game: the window's steps recorded until Run returns, and the game ended,
// or given a thread, that thread sent a quit, once the game is in front.
struct RunFromWindow
{
    explicit RunFromWindow(const char *tag) : game(tag) {}
    void Run(DWORD quitThread = 0)
    {
        ASSERT_TRUE(game.Ready());
        ASSERT_NE(nullptr, window);
        FillMapCatalogue(window);
        ASSERT_EQ(0, SendMessageA(dialog.Control(IDC_MAP_LIST), LB_SETCURSEL, 0, 0));
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        PumpMessages();
        SentMessageHook recorder = StepRecorder(window, &steps);
        ASSERT_TRUE(recorder.Ready());
        OnceGameInFront actor(game, quitThread, whileGameRuns);
        ASSERT_TRUE(actor.Ready());
        RunSelectedMap(window);
        recorder.Stop();
        actor.Join();
        gameWasInFront = actor.GameWasInFront();
    }

    StandInGame game;
    MainDialog dialog;
    HWND window = dialog.Window();
    std::vector<std::string> steps;
    bool gameWasInFront = false;
    // Done on the actor's thread once the game is in front, before it ends.
    std::function<void()> whileGameRuns;
};

// Processor time a thread has used, in 100 ns units.
ULONGLONG ThreadTime(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<ULONGLONG>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime)
           + (static_cast<ULONGLONG>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
}
}

TEST(RunAndWait, ClosesTheGamesProcessHandle)
{
    StandInGame game("run-handles");
    ASSERT_TRUE(game.Ready());
    // The count must see one handle more or less, else it could not see a leak either.
    long base = OpenHandleCount();
    ASSERT_LT(0, base);
    HANDLE extra = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(base + 1, OpenHandleCount());
    CloseHandle(extra);
    ASSERT_EQ(base, OpenHandleCount());

    // The first run loads what the shell keeps for later ones.
    ASSERT_TRUE(RunShortGame(game));
    long before = OpenHandleCount();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RunShortGame(game)) << "run " << i + 2 << " did not start the game";
    EXPECT_EQ(before, OpenHandleCount()) << "handles left open by three runs";
}

TEST(RunSelectedMap, CaptionThenForegroundThenEnabledAfterTheGame)
{
    RunFromWindow run("run-order");
    ASSERT_NO_FATAL_FAILURE(run.Run());
    ASSERT_TRUE(run.game.Events().HasStarted()) << "the game was not started";

    // From the running caption on, only the three steps of the return count here.
    ASSERT_TRUE(Contains(run.steps, RunningCaption)) << Joined(run.steps);
    EXPECT_EQ((std::vector<std::string>{ "caption Pelmar", "activated", "enabled" }), ReturnSteps(run.steps))
        << "all steps: " << Joined(run.steps);
    EXPECT_EQ(run.window, GetForegroundWindow());
    EXPECT_TRUE(IsWindowEnabled(run.window));
}

TEST(RunAndWait, TellsWhetherTheGameEndedOrAQuitCame)
{
    StandInGame game("run-outcome");
    ASSERT_TRUE(game.Ready());
    RunOutcome outcome = WaitFailed;
    ASSERT_TRUE(RunShortGame(game, &outcome));
    EXPECT_EQ(GameEnded, outcome);
    EXPECT_EQ(-1, TakeQuitMessage());

    // A quit while the game runs ends the wait and is posted again for the outer loop.
    game.Events().Reset();
    OnceGameInFront quitter(game, GetCurrentThreadId());
    ASSERT_TRUE(quitter.Ready());
    EXPECT_EQ(QuitWhileRunning, RunAndWait(nullptr, ".\\Unreal.exe", "Sample1"));
    quitter.Join();
    EXPECT_EQ(static_cast<long>(QuitCode), TakeQuitMessage());
    EXPECT_TRUE(game.Events().EndRunningGame()) << "the game must run on after the quit";
}

TEST(RunSelectedMap, WhatTheGameWroteAsItEndedIsShownAndKept)
{
    RunFromWindow run("run-game-settings");
    ActiveGameIni = "UnrealTournament.ini";
    const std::string shipped = ReadTextFile(FixturePath("UnrealTournament-as-shipped.ini"));
    ASSERT_FALSE(shipped.empty());
    WriteTextFile(run.game.GameIni(), shipped);
    run.game.Languages({ "int", "det" });
    const HWND window = run.window;
    LoadSettings(window);
    // As shipped: fullscreen on, in English. The player turns fullscreen off in Pelmar.
    ASSERT_TRUE(FullscreenEnabled);
    run.dialog.ClickFullscreen();
    const std::vector<std::string> modes = ComboTexts(run.dialog.Control(IDC_FULLSCREEN_MODE));
    ASSERT_FALSE(modes.empty());
    const std::vector<std::string> mode = ModePieces(modes.back());
    // In the game's menu its player sets fullscreen again, another mode and German.
    const std::string menu[] = { "StartupFullscreen|True", "FullscreenViewportX|" + mode[0],
                                 "FullscreenViewportY|" + mode[1], "FullscreenColorBits|" + mode[2] };
    std::string lines;
    for (const std::string &line : menu)
        lines += "UnrealTournament.ini|WinDrv.WindowsClient|" + line + "\r\n";
    WriteTextFile(run.game.InSystem("standin-menu.txt"), lines + "UnrealTournament.ini|Engine.Engine|Language|det\r\n");

    ASSERT_NO_FATAL_FAILURE(run.Run());
    ASSERT_TRUE(run.game.Events().HasStarted()) << "the game was not started";
    const std::vector<IniLine> written = ParseIni(ReadTextFile(run.game.GameIni()));
    ASSERT_EQ("True", IniValue(written, "WinDrv.WindowsClient", "StartupFullscreen")) << "the stand-in wrote nothing";

    EXPECT_EQ("on", SwitchState(window));
    EXPECT_TRUE(FullscreenEnabled);
    EXPECT_EQ(modes.back(), ComboSelectedText(run.dialog.Control(IDC_FULLSCREEN_MODE)));
    EXPECT_EQ("German (DET)", ComboSelectedText(run.dialog.Control(IDC_LANGUAGE)));
    // Closed without a change of the player's: the game's settings stand.
    SaveSettings(window, true);
    ExpectSameLines(written, ParseIni(ReadTextFile(run.game.GameIni())));
}

TEST(RunSelectedMap, WhileTheGameRunsPelmarTakesNoProcessorAndHoldsNoGameFile)
{
    RunFromWindow run("run-idle");
    ActiveGameIni = "UnrealTournament.ini";
    WriteTextFile(run.game.GameIni(), "[WinDrv.WindowsClient]\r\nStartupFullscreen=False\r\n");
    LoadSettings(run.window);
    // A choice to write, so Run opens the ini.
    run.dialog.ClickFullscreen();
    HANDLE pelmar = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &pelmar, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    double busyMs = -1;
    bool iniFree = false;
    const std::string ini = run.game.GameIni();
    run.whileGameRuns = [&] {
        // Linux counts a thread's time in 10 ms ticks: a wait that wakes every millisecond
        // shows as about 60 ms in these 3 s, one that sleeps as 0 or a tick.
        ULONGLONG before = ThreadTime(pelmar);
        Sleep(3000);
        busyMs = static_cast<double>(ThreadTime(pelmar) - before) / 10000;
        // Only a file nobody holds opens unshared: the game rewrites its ini so.
        HANDLE file = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        iniFree = file != INVALID_HANDLE_VALUE;
        if (iniFree)
            CloseHandle(file);
    };
    ASSERT_NO_FATAL_FAILURE(run.Run());
    CloseHandle(pelmar);
    ASSERT_TRUE(run.gameWasInFront);
    EXPECT_EQ("True", IniValue(ParseIni(ReadTextFile(ini)), "WinDrv.WindowsClient", "StartupFullscreen"));
    EXPECT_TRUE(iniFree) << "Pelmar held the game's ini open while the game ran";
    EXPECT_LE(0, busyMs);
    EXPECT_GT(30, busyMs) << "milliseconds of processor time Pelmar took in 3 s of the game";
}

TEST(RunSelectedMap, BackFromTheGameKeysReachTheControlOfBefore)
{
    RunFromWindow run("run-focus");
    run.whileGameRuns = [] {};
    SetFocus(run.dialog.Control(IDC_MAP_LIST));
    ASSERT_NO_FATAL_FAILURE(run.Run());
    EXPECT_EQ(run.dialog.Control(IDC_MAP_LIST), GetFocus());

    // Alt-Tab to another window and back.
    MainDialog other;
    ShowWindow(other.Window(), SW_SHOW);
    ASSERT_TRUE(SetForegroundWindow(other.Window()));
    PumpMessages();
    ASSERT_TRUE(SetForegroundWindow(run.window));
    PumpMessages();
    EXPECT_EQ(run.dialog.Control(IDC_MAP_LIST), GetFocus());
}

TEST(RunSelectedMap, GameFolderWithBlanksAndLettersBeyondAscii)
{
    // Beyond the code page too: Pelmar names every file relative to the working folder.
    TempGameFolder base("run-path", false, false);
    const std::string temp = base.System();
    const std::wstring root = std::wstring(temp.begin(), temp.end()) + L"\\Unreal Tournament \u0401\u00e9";
    const std::wstring system = root + L"\\System";
    const std::string standIn = StandInExePath();
    for (const std::wstring &folder : { root, system, root + L"\\Maps" })
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring exePath = system + L"\\Unreal.exe";
    ASSERT_TRUE(CopyFileW(std::wstring(standIn.begin(), standIn.end()).c_str(), exePath.c_str(), TRUE));
    const std::wstring mapPath = root + L"\\Maps\\Sample1.unr";
    HANDLE map = CreateFileW(mapPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, map);
    CloseHandle(map);
    wchar_t previous[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryW(system.c_str()));
    const std::string exe = ActiveGameExe;
    ActiveGameExe = "Unreal.exe";
    StandInEvents events;
    events.EndGame();
    {
        MainDialog dialog;
        FillMapCatalogue(dialog.Window());
        EXPECT_EQ(0, SendMessageA(dialog.Control(IDC_MAP_LIST), LB_SETCURSEL, 0, 0));
        RunSelectedMap(dialog.Window());
        EXPECT_TRUE(events.HasStarted()) << "the game was not started";
        EXPECT_TRUE(IsWindowEnabled(dialog.Window()));
    }
    ActiveGameExe = exe;
    SetCurrentDirectoryW(previous);
    for (const wchar_t *file : { L"\\System\\Unreal.exe", L"\\System\\standin-run.txt", L"\\Maps\\Sample1.unr" })
        DeleteFileW((root + file).c_str());
    for (const std::wstring &folder : { system, root + L"\\Maps", root })
        RemoveDirectoryW(folder.c_str());
}

TEST(RunSelectedMap, QuitWhileTheGameRunsLeavesCaptionFrontAndStateAlone)
{
    RunFromWindow run("run-quit");
    ASSERT_NO_FATAL_FAILURE(run.Run(GetCurrentThreadId()));
    const long quit = TakeQuitMessage();
    ASSERT_TRUE(run.game.Events().HasStarted()) << "the game was not started";
    EXPECT_TRUE(run.gameWasInFront) << "the game never came in front: the test could not see Pelmar come forward";

    EXPECT_EQ(static_cast<long>(QuitCode), quit) << "the quit must reach the outer loop";
    EXPECT_TRUE(Contains(run.steps, RunningCaption)) << Joined(run.steps);
    EXPECT_TRUE(ReturnSteps(run.steps).empty()) << "the window came back after the quit: " << Joined(run.steps);
    EXPECT_EQ("Pelmar - [RUNNING: Sample1]", WindowText(run.window));
    EXPECT_FALSE(IsWindowEnabled(run.window));
    EXPECT_NE(run.window, GetForegroundWindow());
    EXPECT_TRUE(run.game.Events().EndRunningGame()) << "the game must run on after the quit";
}

TEST(RunSelectedMap, MissingGameShownWithTheErrorIconAndOkAlone)
{
    GameHere game("run-missing", "", "Unreal.exe");
    MainDialog dialog;
    HWND window = dialog.Window();
    ASSERT_NE(nullptr, window);
    HWND list = dialog.Control(IDC_MAP_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Sample1"));
    ASSERT_EQ(0, SendMessageA(list, LB_SETCURSEL, 0, 0));

    BoxCloser boxes;
    ASSERT_TRUE(boxes.Ready());
    RunSelectedMap(window);
    ASSERT_EQ(1u, boxes.Boxes().size());
    const ShownBox &box = boxes.Boxes()[0];
    ASSERT_EQ("Error", box.caption);
    EXPECT_EQ(window, box.owner);
    EXPECT_TRUE(Contains(box.texts, "Cannot find Unreal.exe for execution."));
    // The system's error icon (a stop sign), not the warning's or the information's.
    ASSERT_NE(nullptr, box.icon) << "the box shows no icon";
    EXPECT_EQ(LoadIconA(nullptr, IDI_HAND), box.icon);
    EXPECT_NE(LoadIconA(nullptr, IDI_EXCLAMATION), box.icon);
    EXPECT_EQ(std::vector<int>{ IDOK }, box.buttons) << "OK must be the box's only button";
    EXPECT_EQ("Pelmar", WindowText(window));
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST(RunSelectedMap, GameWindowsCannotStartIsReportedByTheShellAndPelmarComesBack)
{
    StandInGame game("run-refused");
    ASSERT_TRUE(game.Ready());
    game.Write("System\\Unreal.exe", "not a program");
    MainDialog dialog;
    HWND list = dialog.Control(IDC_MAP_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Sample1"));
    ASSERT_EQ(0, SendMessageA(list, LB_SETCURSEL, 0, 0));
    BoxCloser boxes;
    ASSERT_TRUE(boxes.Ready());
    RunSelectedMap(dialog.Window());
    EXPECT_FALSE(game.Events().HasStarted());
    ASSERT_EQ(1u, boxes.Boxes().size()) << "the shell's own box must tell the player why";
    EXPECT_EQ(dialog.Window(), boxes.Boxes()[0].owner);
    EXPECT_EQ("Pelmar", WindowText(dialog.Window()));
    EXPECT_TRUE(IsWindowEnabled(dialog.Window()));
    EXPECT_EQ(-1, TakeQuitMessage());
}
