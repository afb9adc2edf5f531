#include "canvas.h"
#include "module_resources.h"
#include "resources/resource.h"
#include "test_support.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{
const COLORREF Magenta = RGB(255, 0, 255);

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

COLORREF FromPixel(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The pixels text shows when drawn alone with font, in the window text colour on paper, with
// room all round: what a row of the map list must show of it, no more and no less.
int InkOfText(HFONT font, const char *text, COLORREF paper)
{
    const int length = static_cast<int>(strlen(text)), margin = 32;
    Canvas alone(margin * (length + 2), 4 * margin, paper);
    HGDIOBJ replaced = SelectObject(alone.Dc(), font);
    SetTextColor(alone.Dc(), GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(alone.Dc(), paper);
    ExtTextOutA(alone.Dc(), margin, margin, 0, nullptr, text, static_cast<UINT>(length), nullptr);
    SelectObject(alone.Dc(), replaced);
    return alone.CountOtherThan({ 0, 0, alone.Width(), alone.Height() }, paper);
}

BOOL CALLBACK AddBitmapId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD> *>(ids)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// The bitmap's pixels, when it is size x size.
std::vector<COLORREF> BitmapPixels(HBITMAP picture, int size)
{
    std::vector<COLORREF> pixels;
    BITMAP drawn;
    if (GetObjectA(picture, sizeof(drawn), &drawn) != sizeof(drawn) || drawn.bmWidth != size || drawn.bmHeight != size)
        return pixels;
    BITMAPINFO info = TopDown32(size, size);
    std::vector<DWORD> raw(static_cast<size_t>(size * size));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, picture, 0, size, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows == size)
        for (DWORD pixel : raw)
            pixels.push_back(FromPixel(pixel));
    return pixels;
}
}

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height)
{
    BITMAPINFO info = TopDown32(width, height);
    dc_ = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const DWORD *>(bits);
    replaced_ = SelectObject(dc_, bitmap_);
    RECT all = { 0, 0, width, height };
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas()
{
    SelectObject(dc_, replaced_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

COLORREF Canvas::At(int x, int y) const
{
    GdiFlush();
    return FromPixel(bits_[y * width_ + x]);
}

bool Canvas::RowHolds(int y, int fromX, int toX, COLORREF colour) const
{
    for (int x = fromX; x < toX; ++x)
        if (At(x, y) == colour)
            return true;
    return false;
}

int Canvas::CountOtherThan(const RECT &area, COLORREF colour) const
{
    int count = 0;
    for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < height_; ++y)
        for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < width_; ++x)
            count += At(x, y) != colour;
    return count;
}

RECT Canvas::BoxOtherThan(const RECT &area, COLORREF colour) const
{
    RECT box = { width_, height_, 0, 0 };
    for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < height_; ++y)
        for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < width_; ++x)
            if (At(x, y) != colour)
            {
                box.left = x < box.left ? x : box.left;
                box.top = y < box.top ? y : box.top;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
    if (box.right == 0)
        SetRectEmpty(&box);
    return box;
}

bool Canvas::CopyScreen(int x, int y)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    BOOL copied = BitBlt(dc_, 0, 0, width_, height_, screen, x, y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
}

std::vector<COLORREF> MapPicturePixels(HMODULE module, int size)
{
    // Found by its size, whatever its id: a picture left out is missing, not another one.
    std::vector<WORD> ids;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(2), AddBitmapId, reinterpret_cast<LONG_PTR>(&ids));
    for (WORD id : ids)
    {
        HBITMAP picture = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        std::vector<COLORREF> pixels = picture ? BitmapPixels(picture, size) : std::vector<COLORREF>();
        if (picture)
            DeleteObject(picture);
        if (!pixels.empty())
            return pixels;
    }
    return std::vector<COLORREF>();
}

int MapPictureMismatches(const Canvas &canvas, const std::vector<COLORREF> &picture, int left,
                         int top, COLORREF behind)
{
    const int size = static_cast<int>(std::lround(std::sqrt(static_cast<double>(picture.size()))));
    if (size == 0 || picture.size() != static_cast<size_t>(size * size))
        return canvas.Width() * canvas.Height() + 1;
    int wrong = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            COLORREF expected = picture[y * size + x] == Magenta ? behind : picture[y * size + x];
            int cx = left + x, cy = top + y;
            if (cx < 0 || cy < 0 || cx >= canvas.Width() || cy >= canvas.Height() || canvas.At(cx, cy) != expected)
                ++wrong;
        }
    return wrong;
}

int ScreenDpiOfThisRun()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    char expected[16] = { 0 };
    GetEnvironmentVariableA("PELMAR_TEST_DPI", expected, sizeof(expected));
    return expected[0] && atoi(expected) != dpi ? 0 : dpi;
}

std::vector<COLORREF> IconImagePixels(HMODULE module, int group, int size, COLORREF behind)
{
    std::vector<COLORREF> pixels;
    int id = 0;
    for (const IconGroupEntry &entry : IconGroupEntries(module, group))
        if (!id && entry.width == size && entry.height == size)
            id = entry.id;
    const BYTE *image = id ? ResourceBytes(module, id, 3) : nullptr;
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(image);
    if (!header || header->biSize != sizeof(BITMAPINFOHEADER) || header->biWidth != size
        || header->biHeight != 2 * size || header->biBitCount != 8)
        return pixels;
    const RGBQUAD *palette = reinterpret_cast<const RGBQUAD *>(header + 1);
    const BYTE *colours = reinterpret_cast<const BYTE *>(palette + (header->biClrUsed ? header->biClrUsed : 256));
    const int colourRow = (size + 3) & ~3, maskRow = ((size + 31) / 32) * 4;
    const BYTE *mask = colours + colourRow * size;
    // Both are stored bottom row first.
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
        {
            const RGBQUAD &c = palette[colours[y * colourRow + x]];
            const bool transparent = (mask[y * maskRow + x / 8] >> (7 - x % 8)) & 1;
            pixels.push_back(transparent ? behind : RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
    return pixels;
}

std::vector<COLORREF> IconPixels(HICON icon, COLORREF behind, SIZE *size)
{
    std::vector<COLORREF> pixels;
    size->cx = size->cy = 0;
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return pixels;
    BITMAP drawn = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(drawn), &drawn);
    size->cx = drawn.bmWidth;
    size->cy = info.hbmColor ? drawn.bmHeight : drawn.bmHeight / 2;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    Canvas canvas(size->cx, size->cy, behind);
    if (!canvas.Ready() || !DrawIconEx(canvas.Dc(), 0, 0, icon, size->cx, size->cy, 0, nullptr, DI_NORMAL))
        return pixels;
    for (int y = 0; y < size->cy; ++y)
        for (int x = 0; x < size->cx; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}

int MapPictureSizeAt(HMODULE module, int dpi)
{
    HBITMAP drawn = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_MAP));
    BITMAP at96 = {};
    const bool read = drawn && GetObjectA(drawn, sizeof(at96), &at96) == sizeof(at96);
    if (drawn)
        DeleteObject(drawn);
    return read ? MulDiv(at96.bmWidth, dpi, 96) : 0;
}

MapRowsShown::MapRowsShown(const std::vector<std::string> &names, HFONT font, HMODULE pictures, int rowHeight,
                           int dpi, COLORREF paper)
    : names_(names), size_(MapPictureSizeAt(pictures, dpi)), row_(rowHeight), dpi_(dpi), paper_(paper)
{
    picture_ = MapPicturePixels(pictures, size_);
    for (const std::string &name : names)
        ink_.push_back(InkOfText(font, name.c_str(), paper));
}

// The picture is found by its leftmost drawn pixel, nothing being left of it; then it must
// match pixel for pixel, centred in the row, with nothing else over it.
std::string MapRowsShown::PictureFault(const Canvas &canvas, int rowTop, int *pictureRight) const
{
    int firstColumn = size_;
    for (int i = 0; i < size_ * size_; ++i)
        if (picture_[i] != Magenta && picture_[i] != paper_ && i % size_ < firstColumn)
            firstColumn = i % size_;
    const RECT drawn = canvas.BoxOtherThan({ 0, rowTop, canvas.Width(), rowTop + row_ }, paper_);
    const int left = drawn.left - firstColumn;
    *pictureRight = left + size_;
    int top = rowTop;
    while (top + size_ <= rowTop + row_ && MapPictureMismatches(canvas, picture_, left, top, paper_) != 0)
        ++top;
    if (IsRectEmpty(&drawn) || left < 0 || top + size_ > rowTop + row_)
        return "no " + std::to_string(size_) + "-pixel picture at the row's left, inside it";
    const int above = top - rowTop, below = rowTop + row_ - top - size_;
    if (abs(above - below) > 1)
        return "the picture is " + std::to_string(above) + " pixels from the top, " + std::to_string(below)
               + " from the bottom: not centred";
    int own = 0;
    for (COLORREF pixel : picture_)
        own += pixel != Magenta && pixel != paper_;
    const int shown = canvas.CountOtherThan({ 0, rowTop, *pictureRight, rowTop + row_ }, paper_);
    if (shown != own)
        return "up to the picture's right edge " + std::to_string(shown) + " pixels are drawn, the picture has "
               + std::to_string(own);
    return std::string();
}

std::string MapRowsShown::Fault(const Canvas &canvas) const
{
    if (size_ <= 0 || picture_.size() != static_cast<size_t>(size_ * size_))
        return "no map picture of " + std::to_string(size_) + " pixels to compare with";
    for (int i = 0; i < static_cast<int>(names_.size()); ++i)
    {
        const int top = i * row_;
        int pictureRight = 0;
        std::string fault = PictureFault(canvas, top, &pictureRight);
        // Right of the picture, the name and nothing else.
        const int shown = canvas.CountOtherThan({ pictureRight, top, canvas.Width(), top + row_ }, paper_);
        if (fault.empty() && (ink_[i] == 0 || shown != ink_[i]))
            fault = "right of the picture the name shows " + std::to_string(shown) + " pixels, drawn alone "
                    + std::to_string(ink_[i]) + ": cut, or with a neighbour's pixels";
        if (!fault.empty())
            return "row " + std::to_string(i) + " (" + names_[i] + ") at " + std::to_string(dpi_) + " DPI: " + fault;
    }
    const RECT below = { 0, static_cast<int>(names_.size()) * row_, canvas.Width(), canvas.Height() };
    return canvas.CountOtherThan(below, paper_) ? "something is drawn below the last row" : "";
}
