// The launcher's real main window inside an integration test program (which embeds the
// real resources): created and measured as the launcher does it at start, destroyed at
// the end of the scope; and a game folder detected as at start. Header only: only the
// integration program links the launcher.
#ifndef PELMAR_MAIN_DIALOG_H
#define PELMAR_MAIN_DIALOG_H

#include "app/game_detect.h"
#include "app/globals.h"
#include "canvas.h"
#include "config/game_config.h"
#include "launcher_process.h"
#include "resources/resource.h"
#include "test_support.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/window_controls.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

class MainDialog
{
public:
    MainDialog()
    {
        window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        RECT rect;
        if (window_ && GetWindowRect(window_, &rect))
        {
            MainWindowWidth = rect.right - rect.left;
            MainWindowHeight = rect.bottom - rect.top;
        }
    }
    ~MainDialog()
    {
        if (window_ && IsWindow(window_))
            DestroyWindow(window_);
        // WM_DESTROY posted the quit message: it must not end a later test's waiting.
        PumpMessages();
    }
    MainDialog(const MainDialog &) = delete;
    MainDialog &operator=(const MainDialog &) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    // The check box as a player's click leaves it: ticked the other way, its owner told.
    void ClickFullscreen() const
    {
        HWND box = Control(IDC_FULLSCREEN);
        bool ticked = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageA(box, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_FULLSCREEN, BN_CLICKED),
                     reinterpret_cast<LPARAM>(box));
    }

    RECT Rect() const { return WindowRect(window_); }

private:
    HWND window_ = nullptr;
};

// The window as the launcher shows it at start, loaded from the working directory.
class LoadedDialog : public MainDialog
{
public:
    LoadedDialog() { LoadSettings(Window()); }
    std::string Field(int control) const { return WindowText(Control(control)); }
    void SetField(int control, const std::string &text) const { SetDlgItemTextA(Window(), control, text.c_str()); }
    void MoveTo(int x, int y) const { MoveWindow(Window(), x, y, MainWindowWidth, MainWindowHeight, FALSE); }
    std::string Selected(int control) const { return ComboSelectedText(Control(control)); }
    bool HasSelection(int control) const { return SendMessageA(Control(control), CB_GETCURSEL, 0, 0) != CB_ERR; }
    bool Enabled(int control) const { return IsWindowEnabled(Control(control)) != FALSE; }
    // Selects the entry with exactly that text, as a player's choice leaves the list; false
    // when there is none.
    bool Select(int control, const std::string &text) const
    {
        LRESULT index = SendMessageA(Control(control), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
        return index != CB_ERR && SendMessageA(Control(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
    }
};

// The real main window for each test of a fixture.
class MainDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(nullptr, window_); }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    HWND List() const { return Control(IDC_MAP_LIST); }
    // A map entry carrying picture, as the catalogue adds them; its index.
    int AddMap(const std::string &name, HBITMAP picture = MapIconBitmap) const
    {
        LRESULT index = SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageA(List(), LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(picture));
        return static_cast<int>(index);
    }
    HWND OpenAbout() const
    {
        return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), window_,
                                  AboutDialogProc, reinterpret_cast<LPARAM>(window_));
    }

    MainDialog dialog_;
    HWND window_ = dialog_.Window();
};

// The same at the scale the run was set up for: measured at another, a pass proves nothing.
class ScaledDialogTest : public MainDialogTest
{
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, window_);
        dpi_ = ScreenDpiOfThisRun();
        ASSERT_NE(0, dpi_) << "the prefix is not set to the scale this run is for";
    }

    int dpi_ = 0;
};

// A game folder, the working directory while it lives, with the game the launcher would
// have detected in it (names may be empty). The detected game of before comes back at the
// end of the scope, a failed check or not.
class GameHere : public TempGameFolder
{
public:
    GameHere(const char *tag, const char *ini, const char *exe)
        : TempGameFolder(tag), here_(System()), ini_(ActiveGameIni), exe_(ActiveGameExe)
    {
        ActiveGameIni = ini;
        ActiveGameExe = exe;
    }
    ~GameHere()
    {
        ActiveGameIni = ini_;
        ActiveGameExe = exe_;
    }
    std::string GameIni() const { return InSystem("UnrealTournament.ini"); }
    std::string PelmarIni() const { return InSystem("Pelmar.ini"); }

private:
    CurrentDirectoryScope here_;
    std::string ini_, exe_;
};

// The main window's labels and the control each names.
inline const std::vector<std::pair<std::string, int> > &MainWindowLabels()
{
    static const std::vector<std::pair<std::string, int> > labels = {
        { "Maps:", IDC_MAP_LIST },   { "Map:", IDC_MAP_PARAMS },        { "Game:", IDC_GAME_PARAMS },
        { "Language:", IDC_LANGUAGE }, { "Window Mode:", IDC_WINDOW_MODE },
    };
    return labels;
}

#endif
