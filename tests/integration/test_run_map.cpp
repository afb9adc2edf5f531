// Run from the real main window, in-process, with the stand-in as the game: what the wait
// leaves behind and how the window comes back afterwards.
#include "app/game_detect.h"
#include "launch/map_catalogue.h"
#include "launch/run_map.h"
#include "demo/standin/standin_names.h"
#include "launcher_process.h"
#include "main_dialog.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A game folder with the stand-in as Unreal.exe and one map, the working directory while it
// lives, detected as the launcher finds it at start. Holds the stand-in's two events.
class StandInGame
{
public:
    explicit StandInGame(const char *tag) : folder_(tag), here_(folder_.System())
    {
        folder_.Touch("Maps\\Sample1.unr");
        copied_ = CopyFileA(StandInExePath().c_str(), (folder_.System() + "\\Unreal.exe").c_str(),
                            FALSE) != 0;
        ActiveGameIni.clear();
        ActiveGameExe = "Unreal.exe";
        started_ = CreateEventA(nullptr, TRUE, FALSE, StandInStartedEventName);
        quit_ = CreateEventA(nullptr, TRUE, FALSE, StandInQuitEventName);
        ResetEvent(started_);
        ResetEvent(quit_);
    }
    ~StandInGame()
    {
        ActiveGameExe.clear();
        CloseHandle(started_);
        CloseHandle(quit_);
    }
    StandInGame(const StandInGame &) = delete;
    StandInGame &operator=(const StandInGame &) = delete;

    bool Ready() const { return copied_ && started_ && quit_; }
    HANDLE Started() const { return started_; }
    HANDLE Quit() const { return quit_; }

private:
    TempGameFolder folder_;
    CurrentDirectoryScope here_;
    bool copied_ = false;
    HANDLE started_ = nullptr;
    HANDLE quit_ = nullptr;
};

// This process's open handles, counted in the system's handle table: Wine's
// GetProcessHandleCount answers 0 whatever is open.
struct HandleEntry
{
    void *object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable
{
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
typedef LONG(NTAPI *QuerySystemInformation)(ULONG, void *, ULONG, ULONG *);
const ULONG SystemExtendedHandleInformation = 64;

long HandleCount()
{
    QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    // STATUS_INFO_LENGTH_MISMATCH: the table did not fit.
    while ((status = query(SystemExtendedHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == static_cast<LONG>(0xC0000004)
           && buffer.size() < (1u << 28))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const HandleTable *table = reinterpret_cast<const HandleTable *>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].process == GetCurrentProcessId())
            ++count;
    return count;
}

// One run of the stand-in, told beforehand to quit: it ends as soon as it has started.
bool RunShortGame(const StandInGame &game)
{
    ResetEvent(game.Started());
    SetEvent(game.Quit());
    RunAndWait(nullptr, ".\\Unreal.exe", "Sample1");
    return WaitForSingleObject(game.Started(), 0) == WAIT_OBJECT_0;
}

// Ends the stand-in once it has started and holds the foreground, so the main window is
// not the foreground window when the run ends.
DWORD WINAPI EndGameOnceInFront(void *param)
{
    const StandInGame *game = static_cast<const StandInGame *>(param);
    if (WaitForSingleObject(game->Started(), 15000) == WAIT_OBJECT_0)
    {
        for (int i = 0; i < 250; ++i)
        {
            HWND window = FindWindowA(StandInWindowClass, nullptr);
            if (window && GetForegroundWindow() == window)
                break;
            Sleep(20);
        }
    }
    SetEvent(game->Quit());
    return 0;
}

// What the watched window was told, in order, each step as the window stood after it.
HWND Watched;
std::vector<std::string> *Steps;

LRESULT CALLBACK RecordStep(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *sent = reinterpret_cast<const CWPRETSTRUCT *>(lParam);
    if (code == HC_ACTION && Steps && sent->hwnd == Watched)
    {
        if (sent->message == WM_SETTEXT)
        {
            char text[64] = { 0 };
            GetWindowTextA(sent->hwnd, text, sizeof(text));
            Steps->push_back(std::string("caption ") + text);
        }
        else if (sent->message == WM_ACTIVATE)
            Steps->push_back(LOWORD(sent->wParam) == WA_INACTIVE ? "deactivated" : "activated");
        else if (sent->message == WM_ENABLE)
            Steps->push_back(sent->wParam ? "enabled" : "disabled");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Joined(const std::vector<std::string> &steps)
{
    std::string text;
    for (const std::string &step : steps)
        text += (text.empty() ? "" : ", ") + step;
    return text;
}
}

TEST(RunAndWait, ClosesTheGamesProcessHandle)
{
    StandInGame game("run-handles");
    ASSERT_TRUE(game.Ready());
    // The count must see one handle more or less, else it could not see a leak either.
    long base = HandleCount();
    ASSERT_LT(0, base);
    HANDLE extra = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(base + 1, HandleCount());
    CloseHandle(extra);
    ASSERT_EQ(base, HandleCount());

    // The first run loads what the shell keeps for later ones.
    ASSERT_TRUE(RunShortGame(game));
    long before = HandleCount();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RunShortGame(game)) << "run " << i + 2 << " did not start the game";
    EXPECT_EQ(before, HandleCount()) << "handles left open by three runs";
}

TEST(RunSelectedMap, CaptionThenForegroundThenEnabledAfterTheGame)
{
    StandInGame game("run-order");
    ASSERT_TRUE(game.Ready());
    MainDialog dialog;
    HWND window = dialog.Window();
    ASSERT_NE(nullptr, window);
    FillMapCatalogue(window);
    ASSERT_EQ(0, SendMessageA(dialog.Control(IDC_MAP_LIST), LB_SETCURSEL, 0, 0));
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpMessages();

    std::vector<std::string> steps;
    Watched = window;
    Steps = &steps;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, RecordStep, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    HANDLE ender = CreateThread(nullptr, 0, EndGameOnceInFront, &game, 0, nullptr);
    RunSelectedMap(window);
    UnhookWindowsHookEx(hook);
    Steps = nullptr;
    if (ender)
    {
        WaitForSingleObject(ender, 20000);
        CloseHandle(ender);
    }
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(game.Started(), 0)) << "the game was not started";

    // From the running caption on, only the three steps of the return count here.
    std::vector<std::string> back;
    bool running = false;
    for (const std::string &step : steps)
    {
        if (step == "caption Pelmar - [RUNNING: Sample1]")
            running = true;
        else if (running && (step == "caption Pelmar" || step == "activated" || step == "enabled"))
            back.push_back(step);
    }
    ASSERT_TRUE(running) << Joined(steps);
    EXPECT_EQ((std::vector<std::string>{ "caption Pelmar", "activated", "enabled" }), back)
        << "all steps: " << Joined(steps);
    EXPECT_EQ(window, GetForegroundWindow());
    EXPECT_TRUE(IsWindowEnabled(window));
}
