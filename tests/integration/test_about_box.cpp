// The About box: hidden by any of its commands, placed centred on the main window and kept
// on the screen.
#include "main_dialog.h"

using AboutBoxTest = MainDialogTest;

TEST_F(AboutBoxTest, AnyCommandOfTheAboutBoxHidesIt)
{
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    ShowWindow(about, SW_SHOW);
    EnableWindow(window_, FALSE);
    // Not OK: Escape's IDCANCEL, as a dialog manager sends it.
    SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowEnabled(window_));
    DestroyWindow(about);
}

TEST(AboutBoxPlacement, CentredAndKeptOnTheScreen)
{
    const int w = 360, h = 150, screenW = 1024, screenH = 768;
    RECT main = { 100, 100, 560, 400 };
    POINT at = AboutBoxPosition(main, w, h, screenW, screenH);
    EXPECT_EQ((460 - w) / 2 + 100, at.x);
    EXPECT_EQ((300 - h) / 2 + 100, at.y);

    // Off the left, top, right and bottom edges.
    EXPECT_EQ(0, AboutBoxPosition({ -400, 100, 60, 400 }, w, h, screenW, screenH).x);
    EXPECT_EQ(0, AboutBoxPosition({ 100, -280, 560, 20 }, w, h, screenW, screenH).y);
    EXPECT_EQ(screenW - w, AboutBoxPosition({ 900, 100, 1360, 400 }, w, h, screenW, screenH).x);
    EXPECT_EQ(screenH - h, AboutBoxPosition({ 100, 700, 560, 1000 }, w, h, screenW, screenH).y);

    // A box larger than the screen ends at the screen's far edge and so starts off it,
    // wherever the main window is.
    const int bigW = 1200, bigH = 900;
    for (const RECT &corner : { RECT{ 100, 50, 500, 350 }, RECT{ 800, 600, 1200, 900 } })
    {
        POINT big = AboutBoxPosition(corner, bigW, bigH, screenW, screenH);
        EXPECT_EQ(screenW - bigW, big.x);
        EXPECT_EQ(screenH - bigH, big.y);
    }

    // Negative halves truncate towards zero, as the platform's division does.
    EXPECT_EQ((1 - 4) / 2 + 10, AboutBoxPosition({ 10, 10, 11, 11 }, 4, 4, screenW, screenH).x);
}

// The box "?" shows where the main window hangs off an edge: on the screen, against that edge.
TEST_F(AboutBoxTest, ShownOnTheScreenAgainstTheEdgeTheWindowHangsOff)
{
    AboutWindow = OpenAbout();
    ASSERT_NE(nullptr, AboutWindow);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    const RECT main = WindowRect(window_);
    const int w = main.right - main.left, h = main.bottom - main.top;
    const struct { const char *edge; int x, y; } places[] = {
        { "left", -w + 40, 200 }, { "right", screenW - 40, 200 },
        { "top", 200, -h + 40 },  { "bottom", 200, screenH - 40 },
    };
    for (const auto &place : places)
    {
        SCOPED_TRACE(place.edge);
        MoveWindow(window_, place.x, place.y, w, h, FALSE);
        ShowAboutBox(window_);
        const RECT box = WindowRect(AboutWindow);
        EXPECT_TRUE(IsWindowVisible(AboutWindow));
        EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= screenW && box.bottom <= screenH);
        EXPECT_TRUE(place.x >= 0 || box.left == 0) << box.left;
        EXPECT_TRUE(place.y >= 0 || box.top == 0) << box.top;
        EXPECT_TRUE(place.x <= screenW / 2 || box.right == screenW) << box.right;
        EXPECT_TRUE(place.y <= screenH / 2 || box.bottom == screenH) << box.bottom;
        SendMessageA(AboutWindow, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED), 0);
    }
    DestroyWindow(AboutWindow);
    AboutWindow = nullptr;
}
