// Pictures for tests that look at what a player sees: a 32-bit canvas to draw or copy the
// screen into, and the map picture and the icon as the program's resources hold them.
#ifndef PELMAR_CANVAS_H
#define PELMAR_CANVAS_H

#include <windows.h>

#include <string>
#include <vector>

// A 32-bit top-down picture behind a memory device context, filled with one colour.
class Canvas
{
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    bool Ready() const { return dc_ && bits_; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    // Whether row y holds colour anywhere in [fromX, toX).
    bool RowHolds(int y, int fromX, int toX, COLORREF colour) const;
    int CountOtherThan(const RECT &area, COLORREF colour) const;
    // The smallest rectangle holding every pixel of area that differs from colour; empty
    // when there is none.
    RECT BoxOtherThan(const RECT &area, COLORREF colour) const;
    // Copies what the screen shows at screen position (x, y), the canvas's size.
    bool CopyScreen(int x, int y);

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    const DWORD *bits_ = nullptr;
    HGDIOBJ replaced_ = nullptr;
};

// The map picture of module's resources drawn for size x size pixels (the bitmap of that
// size), row by row from the top; empty when there is none or it cannot be read.
std::vector<COLORREF> MapPicturePixels(HMODULE module, int size);
// The map picture's size at dpi: that of the module's picture for 96 DPI, scaled; 0 without one.
int MapPictureSizeAt(HMODULE module, int dpi);

// Counts the picture's pixels (a square) that canvas does not show at (left, top): the
// picture where it is not magenta, the colour behind where it is.
int MapPictureMismatches(const Canvas &canvas, const std::vector<COLORREF> &picture, int left,
                         int top, COLORREF behind);

// The size x size image of module's icon group as its bytes hold it (256 colours and a mask),
// row by row from the top, behind where the mask leaves it transparent; empty when the group
// holds no such image.
std::vector<COLORREF> IconImagePixels(HMODULE module, int group, int size, COLORREF behind);

// The icon drawn at its own size over behind, row by row from the top; its size in *size.
std::vector<COLORREF> IconPixels(HICON icon, COLORREF behind, SIZE *size);

// The screen's DPI as this program sees it; 0 when that is not the scale the run was set
// up for (PELMAR_TEST_DPI), where a pass would prove nothing.
int ScreenDpiOfThisRun();

// What a painted map list must show from its top: a row rowHeight high for each name, with
// the map picture of pictures for the scale pixel for pixel (square, MapPictureSizeAt),
// leftmost, inside its row and centred in it; right of it the name as font draws it alone on
// paper, nothing else; nothing below the last row.
class MapRowsShown
{
public:
    MapRowsShown(const std::vector<std::string> &names, HFONT font, HMODULE pictures, int rowHeight, int dpi,
                 COLORREF paper);
    // Empty when canvas, the list's client area, shows exactly that; else the first fault.
    std::string Fault(const Canvas &canvas) const;

private:
    std::string PictureFault(const Canvas &canvas, int rowTop, int *pictureRight) const;

    std::vector<std::string> names_;
    std::vector<int> ink_;
    std::vector<COLORREF> picture_;
    int size_, row_, dpi_;
    COLORREF paper_;
};

#endif
