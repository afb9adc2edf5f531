#include "window_place.h"
#include "../app/globals.h"

#include <climits>

/* The right or bottom edge of a window of that size at that position, at least one pixel
   past it and never beyond INT_MAX. */
static LONG FarEdge(int position, int size)
{
    long long edge = static_cast<long long>(position) + (size > 0 ? size : 1);
    return edge > INT_MAX ? INT_MAX : static_cast<LONG>(edge);
}

/* On a monitor, the corner stays inside its work area, so the caption can be reached; a
   monitor left of or above the primary one keeps its negative positions. A place on a
   monitor since unplugged would hide the window: it comes back at the primary monitor's
   corner, as on a first start. */
void MoveToStoredPosition(HWND window)
{
    int x = WindowPosX;
    int y = WindowPosY;
    /* Positions come from a hand-editable file and may be as large as INT_MAX. */
    RECT stored = { x, y, FarEdge(x, MainWindowWidth), FarEdge(y, MainWindowHeight) };
    MONITORINFO info;
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromRect(&stored, MONITOR_DEFAULTTONULL);
    POINT origin = { 0, 0 };
    if (monitor && GetMonitorInfoA(monitor, &info))
    {
        x = x < info.rcWork.left ? info.rcWork.left : x;
        y = y < info.rcWork.top ? info.rcWork.top : y;
    }
    else if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
    {
        x = info.rcWork.left;
        y = info.rcWork.top;
    }
    else
    {
        x = 0;
        y = 0;
    }
    MoveWindow(window, x, y, MainWindowWidth, MainWindowHeight, TRUE);
}

POINT NormalWindowPosition(HWND window)
{
    WINDOWPLACEMENT placement;
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
    {
        RECT rect = { 0, 0, 0, 0 };
        GetWindowRect(window, &rect);
        POINT corner = { rect.left, rect.top };
        return corner;
    }
    POINT corner = { placement.rcNormalPosition.left, placement.rcNormalPosition.top };
    /* The normal place is in workspace coordinates, which start at the work area of the
       window's monitor: they differ from the screen's where a taskbar stands at the left
       or top. A minimised window's monitor is that of its normal place. */
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
    {
        corner.x += info.rcWork.left - info.rcMonitor.left;
        corner.y += info.rcWork.top - info.rcMonitor.top;
    }
    return corner;
}
