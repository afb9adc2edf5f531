#include "launcher_process.h"
#include "test_support.h"
#include "resources/resource.h"

#include <cstring>

std::string PelmarExePath()
{
    return TestProgramFolder() + "\\..\\Pelmar.exe";
}

std::string StandInExePath()
{
    return TestProgramFolder() + "\\..\\standin_game.exe";
}

namespace
{
struct WindowSearch
{
    DWORD process;
    const char *caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || (search->visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    if (search->caption ? WindowText(window) != search->caption : ClassName(window) != "#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD process, const char *caption, bool visibleOnly)
{
    WindowSearch search = { process, caption, visibleOnly, nullptr };
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Another process's list texts come through the wide messages: Wine marshals the ANSI
// LB_GETTEXT and CB_GETLBTEXT across processes as wide text.
std::string ItemText(HWND window, UINT lengthMessage, UINT textMessage, int index)
{
    LRESULT length = SendMessageW(window, lengthMessage, index, 0);
    if (length < 0 || length > 1000)
        return std::string();
    std::vector<WCHAR> wide(static_cast<size_t>(length) + 1, L'\0');
    if (SendMessageW(window, textMessage, index, reinterpret_cast<LPARAM>(wide.data())) < 0)
        return std::string();
    char text[2048] = { 0 };
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof(text) - 1, nullptr, nullptr);
    return text;
}
}

LauncherProcess::~LauncherProcess()
{
    Kill();
}

bool LauncherProcess::Start(const std::string &workingDirectory, const std::string &exe)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string line = "\"" + exe + "\"";   // the call may write into it
    if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &info_))
        return false;
    WaitForInputIdle(info_.hProcess, 15000);
    WaitUntil([this] {
        main_ = FindWindowOf(info_.dwProcessId, "Pelmar", true);
        return main_ != nullptr;
    }, 15000);
    if (main_)
        Settle(main_);
    return main_ != nullptr;
}

HWND LauncherProcess::About() const
{
    return FindWindowOf(info_.dwProcessId, "About...", false);
}

HWND LauncherProcess::FindVisibleWindow(const char *caption) const
{
    return FindWindowOf(info_.dwProcessId, caption, true);
}

DWORD LauncherProcess::WaitForExit(DWORD timeoutMs)
{
    if (!info_.hProcess)
        return STILL_ACTIVE;
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &info_.hProcess, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0)
    {
        PumpMessages();
        if (GetTickCount() - start > timeoutMs)
            return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

DWORD LauncherProcess::Close()
{
    PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForExit();
}

void LauncherProcess::Kill()
{
    if (info_.hProcess)
    {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
        {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    info_ = PROCESS_INFORMATION();
    main_ = nullptr;
}

std::string WindowText(HWND window)
{
    char text[1024] = { 0 };
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    return std::string(text, strnlen(text, sizeof(text)));
}

std::string ClassName(HWND window)
{
    char name[64] = { 0 };
    GetClassNameA(window, name, sizeof(name));
    return name;
}

RECT WindowRect(HWND window)
{
    RECT rect = { 0, 0, 0, 0 };
    GetWindowRect(window, &rect);
    return rect;
}

static BOOL CALLBACK AddChildText(HWND child, LPARAM texts)
{
    reinterpret_cast<std::vector<std::string> *>(texts)->push_back(WindowText(child));
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND window)
{
    std::vector<std::string> texts;
    EnumChildWindows(window, AddChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string ComboSelectedText(HWND combo)
{
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::string();
    return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<int>(index));
}

static std::vector<std::string> ItemTexts(HWND window, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    std::vector<std::string> texts;
    for (int i = 0; i < static_cast<int>(SendMessageA(window, countMessage, 0, 0)); ++i)
        texts.push_back(ItemText(window, lengthMessage, textMessage, i));
    return texts;
}

std::vector<std::string> ComboTexts(HWND combo)
{
    return ItemTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string ListText(HWND list, int index)
{
    return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

int ListCount(HWND list)
{
    return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
}

std::vector<std::string> ListTexts(HWND list)
{
    return ItemTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListIndexOf(HWND list, const std::string &text)
{
    for (int i = 0; i < ListCount(list); ++i)
        if (ListText(list, i) == text)
            return i;
    return -1;
}

bool IsChecked(HWND button)
{
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string SwitchState(HWND main)
{
    const bool on = IsChecked(GetDlgItem(main, IDC_FULLSCREEN));
    const bool fullscreen = IsWindowEnabled(GetDlgItem(main, IDC_FULLSCREEN_MODE)) != FALSE;
    const bool windowed = IsWindowEnabled(GetDlgItem(main, IDC_WINDOW_MODE)) != FALSE;
    const bool label = IsWindowEnabled(GetDlgItem(main, IDC_WINDOW_MODE_LABEL)) != FALSE;
    if (fullscreen == on && windowed != on && label != on)
        return on ? "on" : "off";
    return std::string(on ? "ticked" : "clear") + ", fullscreen mode " + (fullscreen ? "usable" : "greyed")
           + ", window mode " + (windowed ? "usable" : "greyed") + ", its label " + (label ? "usable" : "greyed");
}

static void ClickAt(HWND window, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    Settle(window);
}

void Click(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    ClickAt(window, client.right / 2, client.bottom / 2);
}

void ClickListItem(HWND list, int index)
{
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT item = { 0, 0, 0, 0 };
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    ClickAt(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

void PressKey(HWND window, UINT virtualKey)
{
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
    Settle(window);
}

void TypeText(HWND edit, const std::string &text)
{
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (char c : text)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    Settle(edit);
}

bool SelectComboText(HWND combo, const std::string &text)
{
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR)
        return false;
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    // Tell the window as a player's choice would.
    HWND parent = GetParent(combo);
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    Settle(combo);
    return ComboSelectedText(combo) == text;
}

void Settle(HWND window)
{
    // Posted messages are handled in order: post a harmless marker behind them and wait
    // until it has been handled. The map list has no horizontal scroll bar, so its
    // horizontal extent changes nothing a player sees.
    static LPARAM marker = 1000;
    HWND root = GetAncestor(window, GA_ROOTOWNER);
    HWND list = GetDlgItem(root ? root : window, 1001);
    if (!list)
    {
        Sleep(200);
        return;
    }
    WPARAM extent = static_cast<WPARAM>(++marker);
    PostMessageA(list, LB_SETHORIZONTALEXTENT, extent, 0);
    // Timed sends: a launcher that stopped pumping must fail the test, not hang it.
    WaitUntil([&] {
        DWORD_PTR current = 0;
        return SendMessageTimeoutA(list, LB_GETHORIZONTALEXTENT, 0, 0, SMTO_NORMAL, 1000, &current)
               && current == extent;
    }, 10000);
}
