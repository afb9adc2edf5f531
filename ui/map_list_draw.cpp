#include "map_list_draw.h"

#include <cstring>

static const COLORREF MapIconTransparent = RGB(255, 0, 255);
static const int MapTextX = 21;

int MapRowHeight = MapItemHeight;

void FitMapRowsToFont(HWND list)
{
    MapRowHeight = MapItemHeight;
    HDC dc = GetDC(list);
    if (!dc)
        return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ replaced = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics;
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > MapRowHeight)
        MapRowHeight = metrics.tmHeight;
    if (replaced)
        SelectObject(dc, replaced);
    ReleaseDC(list, dc);
}

void MeasureMapItem(MEASUREITEMSTRUCT *measure)
{
    measure->itemHeight = static_cast<UINT>(MapRowHeight);
}

static void FillItem(HDC dc, const RECT *rect, int colourIndex)
{
    HBRUSH brush = CreateSolidBrush(GetSysColor(colourIndex));
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

static void DrawItemIcon(const DRAWITEMSTRUCT *draw)
{
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(
        SendMessageA(draw->hwndItem, LB_GETITEMDATA, draw->itemID, 0));
    HDC memory = CreateCompatibleDC(draw->hDC);
    if (!memory)
        return;
    HGDIOBJ replaced = SelectObject(memory, bitmap);
    /* Centred in the row: 2 pixels from the top of a 20-pixel row. */
    int top = draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - MapIconSize) / 2;
    TransparentBlt(draw->hDC, draw->rcItem.left + 2, top, MapIconSize,
                   MapIconSize, memory, 0, 0, MapIconSize, MapIconSize, MapIconTransparent);
    SelectObject(memory, replaced);
    DeleteDC(memory);
}

static void DrawItemText(const DRAWITEMSTRUCT *draw)
{
    char text[260] = { 0 };
    /* LB_GETTEXT takes no size: ask the length first and leave out what would not fit. */
    LRESULT length = SendMessageA(draw->hwndItem, LB_GETTEXTLEN, draw->itemID, 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(sizeof(text)))
        return;
    if (SendMessageA(draw->hwndItem, LB_GETTEXT, draw->itemID, reinterpret_cast<LPARAM>(text))
        == LB_ERR)
        return;

    TEXTMETRICA metrics;
    if (!GetTextMetricsA(draw->hDC, &metrics))
        return;
    int y = (draw->rcItem.bottom + draw->rcItem.top - metrics.tmHeight) / 2;
    ExtTextOutA(draw->hDC, MapTextX, y, ETO_OPAQUE, nullptr, text,
                static_cast<UINT>(strlen(text)), nullptr);
}

BOOL DrawMapItem(const DRAWITEMSTRUCT *draw)
{
    if (draw->itemID == static_cast<UINT>(-1))
        return FALSE;
    if (draw->itemAction != ODA_DRAWENTIRE && draw->itemAction != ODA_SELECT)
        return TRUE;

    if (draw->itemState & ODS_SELECTED)
    {
        FillItem(draw->hDC, &draw->rcItem, COLOR_HIGHLIGHT);
        DrawFocusRect(draw->hDC, &draw->rcItem);
    }
    else if (draw->itemAction == ODA_SELECT)
    {
        FillItem(draw->hDC, &draw->rcItem, COLOR_WINDOW);
    }

    DrawItemIcon(draw);
    DrawItemText(draw);
    return TRUE;
}
