#include "canvas.h"
#include "launcher_process.h"
#include "test_support.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// Empty when box stands centred on main; else where it stands.
std::string OffCentre(HWND main, HWND box)
{
    const RECT m = WindowRect(main), b = WindowRect(box);
    const int x = (m.right - m.left - (b.right - b.left)) / 2 + m.left;
    const int y = (m.bottom - m.top - (b.bottom - b.top)) / 2 + m.top;
    if (b.left == x && b.top == y)
        return "";
    return "at " + std::to_string(b.left) + "," + std::to_string(b.top) + ", not " + std::to_string(x) + ","
           + std::to_string(y);
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Pelmar started in a game folder of its own with no game, and a few maps when asked:
// enough for the window's own behaviour.
class StartAndClose : public ::testing::Test
{
protected:
    bool Started(const char *tag, bool withMaps = false)
    {
        game_.reset(new TempGameFolder(tag));
        if (withMaps)
            game_->Touch({ "Maps\\DM-Deck16.unr", "Maps\\DM-Tundra.unr", "Maps\\UPak\\Crashsite.unr" });
        return pelmar_.Start(game_->System());
    }
    // Clicks "?" and waits for the About box to show; null when it does not.
    HWND ShowAbout() const
    {
        Click(pelmar_.Control(IDC_ABOUT));
        HWND about = pelmar_.About();
        return WaitUntil([&] { return IsWindowVisible(about) != FALSE; }) ? about : nullptr;
    }

    std::unique_ptr<TempGameFolder> game_;
    LauncherProcess pelmar_;
};
using AboutBox = StartAndClose;
}

TEST_F(StartAndClose, ControlsAtStart)
{
    ASSERT_TRUE(Started("e2e-start", true));

    EXPECT_EQ("Pelmar", WindowText(pelmar_.Main()));
    EXPECT_TRUE(IsWindowVisible(pelmar_.Main()));
    EXPECT_TRUE(IsWindowEnabled(pelmar_.Main()));
    EXPECT_FALSE(IsWindowEnabled(pelmar_.Control(IDC_RUN)));
    EXPECT_TRUE(IsWindowEnabled(pelmar_.Control(IDC_ABOUT)));
    // No game configuration: fullscreen off, so only the window mode list is usable.
    EXPECT_EQ("off", SwitchState(pelmar_.Main()));
    EXPECT_EQ("", WindowText(pelmar_.Control(IDC_MAP_PARAMS)));
    EXPECT_EQ("", WindowText(pelmar_.Control(IDC_GAME_PARAMS)));

    HWND list = pelmar_.Control(IDC_MAP_LIST);
    EXPECT_EQ((std::vector<std::string>{ "Crashsite", "DM-Deck16", "DM-Tundra" }), ListTexts(list));
    EXPECT_EQ(LB_ERR, SendMessageA(list, LB_GETCURSEL, 0, 0));

    // First start, no settings file: top left corner of the screen.
    EXPECT_EQ(0, WindowRect(pelmar_.Main()).left);
    EXPECT_EQ(0, WindowRect(pelmar_.Main()).top);

    HWND about = pelmar_.About();
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_EQ(pelmar_.Main(), GetWindow(about, GW_OWNER));

    EXPECT_EQ(0u, pelmar_.Close());
}

// Also run at every other scale: Pelmar declares DPI awareness (so does this program, to see
// it as the screen has it), is drawn at the screen's DPI, and sizes rows and picture by it.
TEST_F(StartAndClose, MapListIsPaintedWithItsEntries)
{
    const int dpi = ScreenDpiOfThisRun();
    ASSERT_NE(0, dpi) << "the prefix is not set to the scale this run is for";
    ASSERT_TRUE(Started("e2e-painted", true));
    // Windows 10 and Wine have it; Vista does not, and draws every program in real pixels.
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    DpiForWindow dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow)
    {
        EXPECT_EQ(static_cast<UINT>(dpi), dpiForWindow(pelmar_.Main()))
            << "Pelmar is stretched, not drawn at the screen's DPI";
    }
    // What the screen shows where the list stands: each of the three rows with the map picture
    // of this scale, pixel for pixel, and its name whole, on the list's background. Font and
    // picture from Pelmar.exe, made here.
    HMODULE exe = LoadLibraryExA(PelmarExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    HWND twin = CreateDialogParamA(exe, MAKEINTRESOURCEA(IDD_MAIN), nullptr, NoDialogProc, 0);
    ASSERT_NE(nullptr, twin);
    HWND list = pelmar_.Control(IDC_MAP_LIST);
    const int row = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    // The shell dialog font is lower than a row at every scale the tests run at.
    EXPECT_EQ(MulDiv(20, dpi, 96), row);
    const MapRowsShown rows(ListTexts(list),
                            reinterpret_cast<HFONT>(SendDlgItemMessageA(twin, IDC_MAP_LIST, WM_GETFONT, 0, 0)),
                            exe, row, dpi, GetSysColor(COLOR_WINDOW));
    DestroyWindow(twin);
    FreeLibrary(exe);
    RECT client = {};
    GetClientRect(list, &client);
    ASSERT_GE(client.bottom, 3 * row);
    POINT origin = { 0, 0 };
    ClientToScreen(list, &origin);
    Canvas screen(client.right, client.bottom, RGB(1, 2, 3));
    ASSERT_TRUE(screen.Ready());
    std::string fault;
    EXPECT_TRUE(WaitUntil([&] { return screen.CopyScreen(origin.x, origin.y) && (fault = rows.Fault(screen)).empty(); },
                          5000))
        << "the list does not show its three maps on the screen: " << fault;
}

TEST_F(StartAndClose, EnterClicksRunOnlyWhenItIsEnabled)
{
    // No game executable here, so a Run shows the missing-executable box.
    ASSERT_TRUE(Started("e2e-enter", true));

    PressKey(pelmar_.Control(IDC_MAP_PARAMS), VK_RETURN);
    Sleep(300);
    EXPECT_EQ(nullptr, pelmar_.FindVisibleWindow("Error")) << "Run is disabled: Enter does nothing";

    ClickListItem(pelmar_.Control(IDC_MAP_LIST), 1);
    ASSERT_TRUE(IsWindowEnabled(pelmar_.Control(IDC_RUN)));
    PressKey(pelmar_.Control(IDC_MAP_PARAMS), VK_RETURN);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = pelmar_.FindVisibleWindow("Error")) != nullptr; }));
    EXPECT_EQ(pelmar_.Main(), GetWindow(box, GW_OWNER));
    // No game was detected: the name in the message is empty.
    HWND text = GetDlgItem(box, 0xFFFF);
    EXPECT_EQ("Cannot find  for execution.", WindowText(text));
    EXPECT_EQ("Pelmar", WindowText(pelmar_.Main()));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowEnabled(pelmar_.Main()));
}

TEST_F(StartAndClose, CloseButtonSavesAndEndsWithZero)
{
    ASSERT_TRUE(Started("e2e-close"));
    EXPECT_EQ(0u, pelmar_.Close());
    EXPECT_TRUE(FileExists(game_->InSystem("Pelmar.ini")));
}

TEST_F(StartAndClose, SystemMenuCloseSavesToo)
{
    ASSERT_TRUE(Started("e2e-sysmenu"));
    // The window's own close, as the system menu and Alt+F4 reach it.
    PostMessageA(pelmar_.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pelmar_.WaitForExit());
    EXPECT_TRUE(FileExists(game_->InSystem("Pelmar.ini")));
}

TEST_F(AboutBox, ShowsCentredDisablesMainAndOkGivesItBack)
{
    ASSERT_TRUE(Started("e2e-about"));
    SetWindowPos(pelmar_.Main(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(pelmar_.Main());

    HWND about = ShowAbout();
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowEnabled(pelmar_.Main()));
    EXPECT_EQ("About...", WindowText(about));

    EXPECT_EQ("", OffCentre(pelmar_.Main(), about));
    EXPECT_EQ("Pelmar", WindowText(GetDlgItem(about, -1)));
    EXPECT_NE(0, SendMessageA(GetDlgItem(about, IDC_ABOUT_ICON), STM_GETIMAGE, IMAGE_ICON, 0));

    Click(GetDlgItem(about, IDC_ABOUT_OK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(pelmar_.Main()) != FALSE; }));
    // The dialog manager hands the main window's focus on to its last focused control.
    EXPECT_TRUE(WaitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(pelmar_.Main(), nullptr), &info);
        return info.hwndFocus == pelmar_.Main() || IsChild(pelmar_.Main(), info.hwndFocus);
    }));
    EXPECT_TRUE(IsWindow(about)) << "the box is hidden, never destroyed";

    // Shown again, it follows the main window to where it is now.
    SetWindowPos(pelmar_.Main(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(pelmar_.Main());
    ASSERT_EQ(about, ShowAbout());
    EXPECT_EQ("", OffCentre(pelmar_.Main(), about));

    // Its close button hides it the same way.
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(pelmar_.Main()) != FALSE; }));

    EXPECT_EQ(0u, pelmar_.Close());
}

TEST_F(AboutBox, KeysDoNothingInTheBox)
{
    ASSERT_TRUE(Started("e2e-about-keys"));
    HWND about = ShowAbout();
    ASSERT_NE(nullptr, about);
    PressKey(GetDlgItem(about, IDC_ABOUT_OK), VK_ESCAPE);
    PressKey(GetDlgItem(about, IDC_ABOUT_OK), VK_RETURN);
    Settle(pelmar_.Main());
    EXPECT_TRUE(IsWindowVisible(about)) << "only the main window gets dialog keys";
    EXPECT_FALSE(IsWindowEnabled(pelmar_.Main()));
}
