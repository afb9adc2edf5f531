#include "map_list_draw.h"

#include "../resources/resource.h"

#include <cstdlib>
#include <cstring>

static const COLORREF MapPictureTransparent = RGB(255, 0, 255);

/* Sizes at 96 DPI; other scales multiply them by dpi / 96. */
enum
{
    MapItemHeight = 20,
    MapPictureSize = 16,
    MapPictureLeft = 2,
    MapTextLeft = 21
};

/* Pixel sizes of the map rows, fixed when the main window is made. */
struct MapListSizes
{
    int rowHeight;   /* MapItemHeight scaled, or the list font's height where taller */
    int pictureSize; /* square */
    int pictureLeft;
    int textLeft;
};
static MapListSizes MapListSize = { MapItemHeight, MapPictureSize, MapPictureLeft, MapTextLeft };

/* The sizes for a screen of dpi and a list font fontHeight pixels high. */
static MapListSizes MapListSizesFor(int dpi, int fontHeight)
{
    MapListSizes sizes;
    sizes.rowHeight = MulDiv(MapItemHeight, dpi, 96);
    if (fontHeight > sizes.rowHeight)
        sizes.rowHeight = fontHeight;
    sizes.pictureSize = MulDiv(MapPictureSize, dpi, 96);
    sizes.pictureLeft = MulDiv(MapPictureLeft, dpi, 96);
    sizes.textLeft = MulDiv(MapTextLeft, dpi, 96);
    return sizes;
}

static int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

static int ListFontHeight(HWND list)
{
    HDC dc = GetDC(list);
    if (!dc)
        return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ replaced = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics;
    int height = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 0;
    if (replaced)
        SelectObject(dc, replaced);
    ReleaseDC(list, dc);
    return height;
}

int FitMapListToScreen(HWND list)
{
    MapListSize = MapListSizesFor(ScreenDpi(), ListFontHeight(list));
    return MapListSize.pictureSize;
}

/* Drawn for 96, 120, 144 and 192 DPI; other scales take the nearest in size, the larger
   of two as near. */
static int MapPictureResource(int size)
{
    static const struct { int size, id; } pictures[] = {
        { 16, IDB_MAP }, { 20, IDB_MAP_20 }, { 24, IDB_MAP_24 }, { 32, IDB_MAP_32 } };
    int best = 0;
    for (int i = 1; i < static_cast<int>(sizeof(pictures) / sizeof(pictures[0])); ++i)
        if (abs(pictures[i].size - size) <= abs(pictures[best].size - size))
            best = i;
    return pictures[best].id;
}

HBITMAP LoadMapPicture(HINSTANCE instance, int size)
{
    /* No size to scale to: the picture as drawn. */
    if (size <= 0)
        return LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_MAP));
    HBITMAP loaded = LoadBitmapA(instance, MAKEINTRESOURCEA(MapPictureResource(size)));
    BITMAP drawn;
    if (!loaded || GetObjectA(loaded, sizeof(drawn), &drawn) != sizeof(drawn)
        || (drawn.bmWidth == size && drawn.bmHeight == size))
        return loaded;

    /* Scaled once here, pixel for pixel: a stretching TransparentBlt mixes the transparent
       colour into the picture's edges under Wine. */
    HBITMAP scaled = nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    if (screen && from && to)
        scaled = CreateCompatibleBitmap(screen, size, size);
    if (scaled)
    {
        HGDIOBJ fromReplaced = SelectObject(from, loaded);
        HGDIOBJ toReplaced = SelectObject(to, scaled);
        SetStretchBltMode(to, COLORONCOLOR);
        BOOL copied = StretchBlt(to, 0, 0, size, size, from, 0, 0, drawn.bmWidth, drawn.bmHeight, SRCCOPY);
        SelectObject(to, toReplaced);
        SelectObject(from, fromReplaced);
        /* Never a picture that was not drawn: the unscaled one is better than none. */
        if (!copied)
        {
            DeleteObject(scaled);
            scaled = nullptr;
        }
    }
    if (to)
        DeleteDC(to);
    if (from)
        DeleteDC(from);
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!scaled)
        return loaded;
    DeleteObject(loaded);
    return scaled;
}

void MeasureMapItem(MEASUREITEMSTRUCT *measure)
{
    measure->itemHeight = static_cast<UINT>(MapListSize.rowHeight);
}

static void FillItem(HDC dc, const RECT *rect, int colourIndex)
{
    HBRUSH brush = CreateSolidBrush(GetSysColor(colourIndex));
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

static void DrawItemPicture(const DRAWITEMSTRUCT *draw)
{
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(
        SendMessageA(draw->hwndItem, LB_GETITEMDATA, draw->itemID, 0));
    BITMAP source;
    if (!bitmap || GetObjectA(bitmap, sizeof(source), &source) != sizeof(source))
        return;
    HDC memory = CreateCompatibleDC(draw->hDC);
    if (!memory)
        return;
    HGDIOBJ replaced = SelectObject(memory, bitmap);
    /* Pixel for pixel: LoadMapPicture made it at the row's size. Centred in the row: 2 pixels
       from the top of a 20-pixel row at 96 DPI. */
    int top = draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - source.bmHeight) / 2;
    TransparentBlt(draw->hDC, draw->rcItem.left + MapListSize.pictureLeft, top, source.bmWidth,
                   source.bmHeight, memory, 0, 0, source.bmWidth, source.bmHeight, MapPictureTransparent);
    SelectObject(memory, replaced);
    DeleteDC(memory);
}

/* The storage an entry's text is drawn from: 259 characters and the terminator. */
enum { DrawnTextSize = 260 };

static void DrawItemText(const DRAWITEMSTRUCT *draw)
{
    char text[DrawnTextSize] = { 0 };
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
    ExtTextOutA(draw->hDC, MapListSize.textLeft, y, ETO_OPAQUE, nullptr, text,
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

    DrawItemPicture(draw);
    DrawItemText(draw);
    return TRUE;
}
