// The launcher's start-up in this process, from its own resources: what the window shows at
// the moment it first becomes visible, and the exit code of its message loop.
#include "app/launcher.h"
#include "main_dialog.h"

namespace
{
// The main window as it stood when it was first shown.
struct FirstShow
{
    HWND window = nullptr;
    std::string shown;   // place, fields, switch, language and map count
};

// A game folder with stored settings, the working directory while it lives, its game
// detected as at start.
class StoredSettings : public GameHere
{
public:
    StoredSettings() : GameHere("start-order", "Unreal.ini", "")
    {
        Write("System\\Pelmar.ini", "[Main]\r\nHWndPos=210,140\r\nParamsMap=?Difficulty=3\r\nParamsGame=-nosound\r\n")
            .Write("System\\Unreal.ini",
                   "[Engine.Engine]\r\nLanguage=det\r\n[WinDrv.WindowsClient]\r\nStartupFullscreen=True\r\n")
            .Languages({ "int", "det" })
            .Touch({ "Maps\\Sample1.unr" });
    }
};

// Runs the launcher with a quit already waiting, so its loop ends at once and the windows
// stay for the test to look at; the caller destroys them.
int RunUntilQuit(int quitCode, FirstShow *shown)
{
    SentMessageHook hook([shown](const CWPRETSTRUCT &sent) {
        if (shown->window || sent.message != WM_SHOWWINDOW || !sent.wParam || !GetDlgItem(sent.hwnd, IDC_MAP_LIST))
            return;
        const RECT at = WindowRect(shown->window = sent.hwnd);
        shown->shown = "at " + std::to_string(at.left) + "," + std::to_string(at.top) + " ["
                       + WindowText(GetDlgItem(sent.hwnd, IDC_MAP_PARAMS)) + "] ["
                       + WindowText(GetDlgItem(sent.hwnd, IDC_GAME_PARAMS)) + "] "
                       + (IsChecked(GetDlgItem(sent.hwnd, IDC_FULLSCREEN)) ? "fullscreen " : "windowed ")
                       + WindowText(GetDlgItem(sent.hwnd, IDC_LANGUAGE)) + ", maps "
                       + std::to_string(SendDlgItemMessageA(sent.hwnd, IDC_MAP_LIST, LB_GETCOUNT, 0, 0));
    });
    PostQuitMessage(quitCode);
    return RunLauncher(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
}

void DestroyLauncher(HWND window)
{
    if (window && IsWindow(window))
        DestroyWindow(window);
    AboutWindow = nullptr;
    PumpMessages();   // the quit message of WM_DESTROY too
}
}

TEST(LauncherStart, FirstShownAtTheStoredPlaceWithTheStoredSettings)
{
    StoredSettings settings;
    FirstShow shown;
    EXPECT_EQ(0, RunUntilQuit(0, &shown));
    ASSERT_NE(nullptr, shown.window) << "the main window was never shown";
    // Shown already where it was left, its fields filled: no jump, no empty first paint. The
    // maps come after the show.
    EXPECT_EQ("at 210,140 [?Difficulty=3] [-nosound] fullscreen German (DET), maps 0", shown.shown);
    EXPECT_EQ(1, SendDlgItemMessageA(shown.window, IDC_MAP_LIST, LB_GETCOUNT, 0, 0));
    DestroyLauncher(shown.window);
}

TEST(LauncherStart, QuitEndsTheLoopWithExitCodeZeroWhateverItsCode)
{
    StoredSettings settings;
    for (int code : { 7, -3, 0 })
    {
        FirstShow shown;
        EXPECT_EQ(0, RunUntilQuit(code, &shown)) << "quit code " << code;
        DestroyLauncher(shown.window);
    }
}

TEST(LauncherStart, NoTemplateGivesNonZeroExitInsteadOfWaitingForEver)
{
    // kernel32 holds no dialog 101: the main window cannot be made.
    EXPECT_EQ(ExitNoMainWindow, RunLauncher(GetModuleHandleA("kernel32.dll"), SW_SHOWNORMAL));
}
