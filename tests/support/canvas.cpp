#include "canvas.h"
#include "resources/resource.h"

namespace
{
const int PictureSize = 16;
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

bool Canvas::CopyScreen(int x, int y)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    BOOL copied = BitBlt(dc_, 0, 0, width_, height_, screen, x, y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied != FALSE;
}

std::vector<COLORREF> MapPicturePixels(HMODULE module)
{
    std::vector<COLORREF> pixels;
    HBITMAP picture = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_MAP));
    if (!picture)
        return pixels;
    BITMAPINFO info = TopDown32(PictureSize, PictureSize);
    std::vector<DWORD> raw(PictureSize * PictureSize);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, picture, 0, PictureSize, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    if (rows != PictureSize)
        return pixels;
    for (DWORD pixel : raw)
        pixels.push_back(FromPixel(pixel));
    return pixels;
}

int MapPictureMismatches(const Canvas &canvas, const std::vector<COLORREF> &picture, int left,
                         int top, COLORREF behind)
{
    if (picture.size() != static_cast<size_t>(PictureSize * PictureSize))
        return PictureSize * PictureSize;
    int wrong = 0;
    for (int y = 0; y < PictureSize; ++y)
        for (int x = 0; x < PictureSize; ++x)
        {
            COLORREF expected = picture[y * PictureSize + x] == Magenta ? behind : picture[y * PictureSize + x];
            int cx = left + x, cy = top + y;
            if (cx < 0 || cy < 0 || cx >= canvas.Width() || cy >= canvas.Height() || canvas.At(cx, cy) != expected)
                ++wrong;
        }
    return wrong;
}
