// The main window's own behaviour, driven with the messages a player's actions send.
#include "main_dialog.h"

namespace
{
using MainWindowTest = MainDialogTest;
}

TEST_F(MainWindowTest, RunFollowsTheMapSelection)
{
    HWND list = List();
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("DM-Deck16"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CTF-Face"));

    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_RUN)));

    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));

    // Selection changes of other controls, and other notifications of the list, do nothing.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, LBN_SELCHANGE), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));
}

TEST_F(MainWindowTest, FullscreenSwitchFlipsWhichModeListIsUsable)
{
    FullscreenEnabled = false;
    ApplyFullscreenState(window_);
    EXPECT_EQ("off", SwitchState(window_));
    for (bool on : { true, false })
    {
        SendMessageA(Control(IDC_FULLSCREEN), BM_CLICK, 0, 0);
        EXPECT_EQ(on, FullscreenEnabled);
        EXPECT_EQ((on ? "on" : "off"), SwitchState(window_));
    }
}

TEST_F(MainWindowTest, ActivationChangeRepaintsTheWholeWindow)
{
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
    ValidateRect(window_, nullptr);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(window_, &update, FALSE));

    SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);
    ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_TRUE(EqualRect(&client, &update));
    UpdateWindow(window_);
    EXPECT_FALSE(GetUpdateRect(window_, &update, FALSE));
    ShowWindow(window_, SW_HIDE);
}

TEST_F(MainWindowTest, EscapeAndUnknownCommandsKeepTheWindow)
{
    // Escape pressed in the list, a field and the window, as the dialog manager turns it into
    // IDCANCEL; then IDCANCEL and IDOK sent straight.
    for (HWND at : { List(), Control(IDC_MAP_PARAMS), window_ })
    {
        MSG key = { at, WM_KEYDOWN, VK_ESCAPE, 1, 0, {} };
        IsDialogMessageA(window_, &key);
        PumpMessages();
    }
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(window_));
}
