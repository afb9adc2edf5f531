// Starting Pelmar.exe as a player would, and using its windows from outside: clicks and
// key presses go into its message queue, states are read back with messages.
#ifndef PELMAR_LAUNCHER_PROCESS_H
#define PELMAR_LAUNCHER_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

std::string PelmarExePath();
std::string StandInExePath();

class LauncherProcess
{
public:
    LauncherProcess() = default;
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess &) = delete;
    LauncherProcess &operator=(const LauncherProcess &) = delete;

    // Starts exe with workingDirectory as its working directory and waits for its main
    // window (a visible dialog captioned "Pelmar") to wait for input.
    bool Start(const std::string &workingDirectory, const std::string &exe = PelmarExePath());

    HWND Main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    // The About box: the process's other dialog, visible or not.
    HWND About() const;
    // The process's visible top-level window with that caption (a message box, say).
    HWND FindVisibleWindow(const char *caption) const;
    HANDLE Process() const { return info_.hProcess; }

    // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs = 10000);
    // The caption's close (WM_SYSCOMMAND / SC_CLOSE, as from the caption's button), then
    // WaitForExit's answer.
    DWORD Close();
    void Kill();

private:
    PROCESS_INFORMATION info_ = {};
    HWND main_ = nullptr;
};

// Reading windows, this process's or another's.
std::string WindowText(HWND window);
std::string ClassName(HWND window);
RECT WindowRect(HWND window);
// The texts of a window's children: the message of a message box, say.
std::vector<std::string> ChildTexts(HWND window);
std::string ComboSelectedText(HWND combo);
std::vector<std::string> ComboTexts(HWND combo);   // every entry, in list order
std::string ListText(HWND list, int index);
int ListCount(HWND list);
std::vector<std::string> ListTexts(HWND list);   // every entry, in list order
int ListIndexOf(HWND list, const std::string &text);   // -1 when not listed
bool IsChecked(HWND button);
// The fullscreen switch of a main window with the controls it governs: "on" (only the
// fullscreen mode usable), "off" (only the window mode and its label), else what each shows.
std::string SwitchState(HWND main);

// Input delivered to another process's windows.
void Click(HWND window);                 // at its centre
void ClickListItem(HWND list, int index);
void PressKey(HWND window, UINT virtualKey);
void TypeText(HWND edit, const std::string &text);   // replaces the text, as typed
// Selects the entry with exactly that text as a player would; whether it is selected then.
bool SelectComboText(HWND combo, const std::string &text);

// Waits until the other thread has handled everything queued so far.
void Settle(HWND window);

#endif
