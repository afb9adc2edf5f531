#include "window_controls.h"
#include "../app/globals.h"
#include "../resources/resource.h"

void ApplyFullscreenState(HWND window)
{
    EnableWindow(GetDlgItem(window, IDC_FULLSCREEN_MODE), FullscreenEnabled);
    EnableWindow(GetDlgItem(window, IDC_WINDOW_MODE), !FullscreenEnabled);
    EnableWindow(GetDlgItem(window, IDC_WINDOW_MODE_LABEL), !FullscreenEnabled);
}

const char *ReadControlText(HWND window, int control)
{
    CommandLineBuffer[0] = '\0';
    GetWindowTextA(GetDlgItem(window, control), CommandLineBuffer, sizeof(CommandLineBuffer));
    CommandLineBuffer[sizeof(CommandLineBuffer) - 1] = '\0';
    return CommandLineBuffer;
}
