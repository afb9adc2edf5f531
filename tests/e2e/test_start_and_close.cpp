#include "canvas.h"
#include "launcher_process.h"
#include "test_support.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
HWND FocusOf(const LauncherProcess &pelmar)
{
    GUITHREADINFO info;
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(pelmar.Main(), nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

RECT RectOf(HWND window)
{
    RECT rect = { 0, 0, 0, 0 };
    GetWindowRect(window, &rect);
    return rect;
}

// A game folder with a few maps and no game: enough for the window's own behaviour.
void AddMaps(const TempGameFolder &game)
{
    game.Touch("Maps\\DM-Deck16.unr");
    game.Touch("Maps\\DM-Tundra.unr");
    game.Touch("Maps\\UPak\\Crashsite.unr");
}
}

TEST(StartAndClose, ControlsAtStart)
{
    TempGameFolder game("e2e-start");
    AddMaps(game);
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));

    EXPECT_EQ("Pelmar", WindowText(pelmar.Main()));
    EXPECT_TRUE(IsWindowVisible(pelmar.Main()));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Main()));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Control(IDC_RUN)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_ABOUT)));
    // No game configuration: fullscreen off, so only the window mode list is usable.
    EXPECT_FALSE(IsChecked(pelmar.Control(IDC_FULLSCREEN)));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Control(IDC_FULLSCREEN_MODE)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE_LABEL)));
    EXPECT_EQ("", WindowText(pelmar.Control(IDC_MAP_PARAMS)));
    EXPECT_EQ("", WindowText(pelmar.Control(IDC_GAME_PARAMS)));

    HWND list = pelmar.Control(IDC_MAP_LIST);
    ASSERT_EQ(3, ListCount(list));
    EXPECT_EQ("Crashsite", ListText(list, 0));
    EXPECT_EQ("DM-Deck16", ListText(list, 1));
    EXPECT_EQ("DM-Tundra", ListText(list, 2));
    EXPECT_EQ(LB_ERR, SendMessageA(list, LB_GETCURSEL, 0, 0));

    // First start, no settings file: top left corner of the screen.
    RECT rect = RectOf(pelmar.Main());
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);

    HWND about = pelmar.About();
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_EQ(pelmar.Main(), GetWindow(about, GW_OWNER));

    pelmar.Close();
    EXPECT_EQ(0u, pelmar.WaitForExit());
}

TEST(StartAndClose, MapListIsPaintedWithItsEntries)
{
    TempGameFolder game("e2e-painted");
    AddMaps(game);
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    HMODULE exe = LoadLibraryExA(PelmarExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    const std::vector<COLORREF> picture = MapPicturePixels(exe);
    FreeLibrary(exe);
    ASSERT_FALSE(picture.empty());

    // What the screen shows where the list stands: each of the three rows with the map
    // picture and a name, on the list's background.
    HWND list = pelmar.Control(IDC_MAP_LIST);
    RECT client = {};
    GetClientRect(list, &client);
    POINT origin = { 0, 0 };
    ClientToScreen(list, &origin);
    const int row = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GE(row, 16);
    ASSERT_GE(client.bottom, 3 * row);
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    Canvas screen(client.right, client.bottom, RGB(1, 2, 3));
    ASSERT_TRUE(screen.Ready());
    auto rowsShown = [&] {
        if (!screen.CopyScreen(origin.x, origin.y))
            return false;
        for (int i = 0; i < 3; ++i)
        {
            RECT name = { 21, i * row, client.right, (i + 1) * row };
            if (MapPictureMismatches(screen, picture, 2, i * row + (row - 16) / 2, paper) != 0
                || screen.CountOtherThan(name, paper) == 0)
                return false;
        }
        RECT below = { 0, 3 * row, client.right, client.bottom };
        return screen.CountOtherThan(below, paper) == 0;
    };
    EXPECT_TRUE(WaitUntil(rowsShown, 5000)) << "the list does not show its three maps on the screen";
}

TEST(StartAndClose, QuitMessageEndsWithExitCodeZero)
{
    TempGameFolder game("e2e-quit");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    // The loop ended normally: the quit's own code is no failure.
    ASSERT_TRUE(PostThreadMessageA(GetWindowThreadProcessId(pelmar.Main(), nullptr), WM_QUIT, 7, 0));
    EXPECT_EQ(0u, pelmar.WaitForExit());
}

TEST(StartAndClose, ClickingTheSwitchFlipsTheModeLists)
{
    TempGameFolder game("e2e-switch");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));

    Click(pelmar.Control(IDC_FULLSCREEN));
    EXPECT_TRUE(IsChecked(pelmar.Control(IDC_FULLSCREEN)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_FULLSCREEN_MODE)));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE)));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE_LABEL)));

    Click(pelmar.Control(IDC_FULLSCREEN));
    EXPECT_FALSE(IsChecked(pelmar.Control(IDC_FULLSCREEN)));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Control(IDC_FULLSCREEN_MODE)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE)));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Control(IDC_WINDOW_MODE_LABEL)));
}

TEST(StartAndClose, EscapeKeepsTheWindowOpen)
{
    TempGameFolder game("e2e-escape");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    PressKey(pelmar.Control(IDC_MAP_LIST), VK_ESCAPE);
    PressKey(pelmar.Control(IDC_MAP_PARAMS), VK_ESCAPE);
    PressKey(pelmar.Main(), VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(pelmar.Main()));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(pelmar.Process(), 300));
    EXPECT_FALSE(FileExists(game.System() + "\\Pelmar.ini")) << "nothing was saved: nothing closed";
}

TEST(StartAndClose, EnterClicksRunOnlyWhenItIsEnabled)
{
    // No game executable here, so a Run shows the missing-executable box.
    TempGameFolder game("e2e-enter");
    AddMaps(game);
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));

    PressKey(pelmar.Control(IDC_MAP_PARAMS), VK_RETURN);
    Sleep(300);
    EXPECT_EQ(nullptr, pelmar.FindVisibleWindow("Error")) << "Run is disabled: Enter does nothing";

    ClickListItem(pelmar.Control(IDC_MAP_LIST), 1);
    ASSERT_TRUE(IsWindowEnabled(pelmar.Control(IDC_RUN)));
    PressKey(pelmar.Control(IDC_MAP_PARAMS), VK_RETURN);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = pelmar.FindVisibleWindow("Error")) != nullptr; }));
    EXPECT_EQ(pelmar.Main(), GetWindow(box, GW_OWNER));
    // No game was detected: the name in the message is empty.
    HWND text = GetDlgItem(box, 0xFFFF);
    EXPECT_EQ("Cannot find  for execution.", WindowText(text));
    EXPECT_EQ("Pelmar", WindowText(pelmar.Main()));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowEnabled(pelmar.Main()));
}

TEST(StartAndClose, CloseButtonSavesAndEndsWithZero)
{
    TempGameFolder game("e2e-close");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    pelmar.Close();
    EXPECT_EQ(0u, pelmar.WaitForExit());
    EXPECT_TRUE(FileExists(game.System() + "\\Pelmar.ini"));
}

TEST(StartAndClose, SystemMenuCloseSavesToo)
{
    TempGameFolder game("e2e-sysmenu");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    // The window's own close, as the system menu and Alt+F4 reach it.
    PostMessageA(pelmar.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pelmar.WaitForExit());
    EXPECT_TRUE(FileExists(game.System() + "\\Pelmar.ini"));
}

TEST(AboutBox, ShowsCentredDisablesMainAndOkGivesItBack)
{
    TempGameFolder game("e2e-about");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    SetWindowPos(pelmar.Main(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(pelmar.Main());

    Click(pelmar.Control(IDC_ABOUT));
    HWND about = pelmar.About();
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }));
    EXPECT_FALSE(IsWindowEnabled(pelmar.Main()));
    EXPECT_EQ("About...", WindowText(about));

    RECT main = RectOf(pelmar.Main());
    RECT box = RectOf(about);
    int w = box.right - box.left, h = box.bottom - box.top;
    EXPECT_EQ((main.right - main.left - w) / 2 + main.left, box.left);
    EXPECT_EQ((main.bottom - main.top - h) / 2 + main.top, box.top);
    EXPECT_EQ("Pelmar", WindowText(GetDlgItem(about, -1)));
    EXPECT_NE(0, SendMessageA(GetDlgItem(about, IDC_ABOUT_ICON), STM_GETIMAGE, IMAGE_ICON, 0));

    Click(GetDlgItem(about, IDC_ABOUT_OK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(pelmar.Main()) != FALSE; }));
    // The dialog manager hands the main window's focus on to its last focused control.
    EXPECT_TRUE(WaitUntil([&] {
        HWND focus = FocusOf(pelmar);
        return focus == pelmar.Main() || IsChild(pelmar.Main(), focus);
    }));
    EXPECT_TRUE(IsWindow(about)) << "the box is hidden, never destroyed";

    // Shown again, it follows the main window to where it is now.
    SetWindowPos(pelmar.Main(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(pelmar.Main());
    Click(pelmar.Control(IDC_ABOUT));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }));
    main = RectOf(pelmar.Main());
    box = RectOf(about);
    EXPECT_EQ((main.right - main.left - w) / 2 + main.left, box.left);
    EXPECT_EQ((main.bottom - main.top - h) / 2 + main.top, box.top);

    // Its close button hides it the same way.
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(pelmar.Main()) != FALSE; }));

    pelmar.Close();
    EXPECT_EQ(0u, pelmar.WaitForExit());
}

TEST(AboutBox, StaysOnTheScreenWhenTheMainWindowHangsOffAnEdge)
{
    TempGameFolder game("e2e-about-edges");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    HWND about = pelmar.About();
    ASSERT_NE(nullptr, about);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    RECT main = RectOf(pelmar.Main());
    const int mainW = main.right - main.left, mainH = main.bottom - main.top;

    struct Place
    {
        const char *edge;
        int x, y;
    } places[] = {
        { "left", -mainW + 40, 200 },
        { "right", screenW - 40, 200 },
        { "top", 200, -mainH + 40 },
        { "bottom", 200, screenH - 40 },
    };
    for (const Place &place : places)
    {
        SCOPED_TRACE(place.edge);
        SetWindowPos(pelmar.Main(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle(pelmar.Main());
        Click(pelmar.Control(IDC_ABOUT));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }));
        RECT box = RectOf(about);
        EXPECT_GE(box.left, 0);
        EXPECT_GE(box.top, 0);
        EXPECT_LE(box.right, screenW);
        EXPECT_LE(box.bottom, screenH);
        if (place.x < 0)
        {
            EXPECT_EQ(0, box.left);
        }
        if (place.y < 0)
        {
            EXPECT_EQ(0, box.top);
        }
        if (place.x > screenW / 2)
        {
            EXPECT_EQ(screenW, box.right);
        }
        if (place.y > screenH / 2)
        {
            EXPECT_EQ(screenH, box.bottom);
        }
        Click(GetDlgItem(about, IDC_ABOUT_OK));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(pelmar.Main()) != FALSE; }));
    }
}

TEST(AboutBox, KeysDoNothingInTheBox)
{
    TempGameFolder game("e2e-about-keys");
    LauncherProcess pelmar;
    ASSERT_TRUE(pelmar.Start(game.System()));
    Click(pelmar.Control(IDC_ABOUT));
    HWND about = pelmar.About();
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about) != FALSE; }));
    PressKey(GetDlgItem(about, IDC_ABOUT_OK), VK_ESCAPE);
    PressKey(GetDlgItem(about, IDC_ABOUT_OK), VK_RETURN);
    Settle(pelmar.Main());
    EXPECT_TRUE(IsWindowVisible(about)) << "only the main window gets dialog keys";
    EXPECT_FALSE(IsWindowEnabled(pelmar.Main()));
}
