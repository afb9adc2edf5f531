// The launcher's real main window inside an integration test program (which embeds the
// real resources): created and measured as the launcher does it at start, destroyed at
// the end of the scope. Header only: only the integration program links the launcher.
#ifndef PELMAR_MAIN_DIALOG_H
#define PELMAR_MAIN_DIALOG_H

#include "app/globals.h"
#include "resources/resource.h"
#include "ui/main_window.h"

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
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
        }
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

    RECT Rect() const
    {
        RECT rect = { 0, 0, 0, 0 };
        GetWindowRect(window_, &rect);
        return rect;
    }

private:
    HWND window_ = nullptr;
};

// A window's class and text, read in this process.
inline std::string ClassOf(HWND window)
{
    char name[64] = { 0 };
    GetClassNameA(window, name, sizeof(name));
    return name;
}

inline std::string TextOf(HWND window)
{
    char text[512] = { 0 };
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Every entry of a combo box, in list order.
inline std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> texts;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == CB_ERR)
        {
            texts.push_back(std::string());
            continue;
        }
        std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        texts.push_back(text.data());
    }
    return texts;
}

// Selects the entry with exactly that text, as a player's choice leaves the list; false when
// there is none.
inline bool SelectComboEntry(HWND combo, const std::string &text)
{
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR)
        return false;
    return SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
}

#endif
