// Every picture Pelmar shows is drawn from an image made for its size: the map picture in the
// rows at the scale of this run, the window's small and large icons and the About box's at
// the system's sizes. Also run at 120, 144 and 192 DPI (PELMAR_TEST_DPI names the scale).
#include "ui/map_list_draw.h"
#include "main_dialog.h"
#include "module_resources.h"

#include <cstdlib>
#include <set>

namespace
{
const COLORREF Magenta = RGB(255, 0, 255);

using SharpPictures = ScaledDialogTest;

BOOL CALLBACK AddId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int> *>(ids)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}
}

// The map pictures are drawn on pure magenta, the colour that shows the row's background,
// in 24 bits; the icon's images are 256 colours and a mask, but for the 256-pixel PNG.
TEST(PictureResources, MapPicturesAndIconImagesInTheirFormats)
{
    std::vector<int> bitmaps;
    EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(2), AddId, reinterpret_cast<LONG_PTR>(&bitmaps));
    ASSERT_FALSE(bitmaps.empty());
    for (int id : bitmaps)
    {
        const auto *info = reinterpret_cast<const BITMAPINFOHEADER *>(ResourceBytes(nullptr, id, 2));
        ASSERT_NE(nullptr, info);
        EXPECT_EQ(24, info->biBitCount) << "bitmap " << id;
        EXPECT_EQ(info->biWidth, info->biHeight) << "bitmap " << id << " is not square";
        const BYTE *pixels = reinterpret_cast<const BYTE *>(info) + info->biSize;
        EXPECT_EQ(std::vector<BYTE>({ 0xFF, 0x00, 0xFF }), std::vector<BYTE>(pixels, pixels + 3)) << "bitmap " << id;
    }
    const std::vector<IconGroupEntry> images = IconGroupEntries(nullptr, IDI_APP);
    ASSERT_FALSE(images.empty());
    for (const IconGroupEntry &image : images)
    {
        EXPECT_EQ(image.width, image.height);
        EXPECT_EQ(image.width == 256 ? 32 : 8, image.bitCount) << image.width << " pixels";
    }
}

TEST_F(SharpPictures, RowsShowThePictureDrawnForTheirScale)
{
    const int size = MapPictureSizeAt(GetModuleHandleA(nullptr), dpi_);
    const std::vector<COLORREF> picture = MapPicturePixels(GetModuleHandleA(nullptr), size);
    ASSERT_FALSE(picture.empty()) << "no map picture of " << size << " pixels, what " << dpi_ << " DPI asks for";
    AddMap("Alpha");
    AddMap("Bravo");
    ASSERT_EQ(1, SendMessageA(List(), LB_SETCURSEL, 1, 0));
    RECT client = {};
    GetClientRect(List(), &client);
    // The list's own background, as the screen has it under the rows.
    Canvas shown(client.right, client.bottom, GetSysColor(COLOR_WINDOW));
    ASSERT_TRUE(shown.Ready());
    SendMessageA(List(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shown.Dc()), PRF_CLIENT | PRF_ERASEBKGND);

    // Pixel for pixel, the magenta showing the row's background: the window's, the highlight.
    const int row = static_cast<int>(SendMessageA(List(), LB_GETITEMHEIGHT, 0, 0));
    const COLORREF behind[] = { GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_HIGHLIGHT) };
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(0, MapPictureMismatches(shown, picture, MulDiv(2, dpi_, 96), i * row + (row - size) / 2, behind[i]))
            << "row " << i << " at " << dpi_ << " DPI does not show the " << size << "-pixel picture";
}

TEST_F(SharpPictures, WindowAndAboutIconsAreTheImagesOfTheirSize)
{
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    // The large one is what Alt-Tab, the taskbar and a Linux dock show.
    const struct { const char *what; HICON icon; SIZE wanted; } icons[] = {
        { "caption", reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, ICON_SMALL, 0)),
          { GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON) } },
        { "window's large", reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, ICON_BIG, 0)),
          { GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON) } },
        { "About box", reinterpret_cast<HICON>(SendDlgItemMessageA(about, IDC_ABOUT_ICON, STM_GETIMAGE, IMAGE_ICON, 0)),
          { GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON) } },
    };
    for (const auto &icon : icons)
    {
        SCOPED_TRACE(icon.what);
        SIZE size;
        const std::vector<COLORREF> shown = IconPixels(icon.icon, Magenta, &size);
        ASSERT_FALSE(shown.empty()) << "no icon";
        EXPECT_EQ(icon.wanted.cx, size.cx) << "at " << dpi_ << " DPI";
        EXPECT_EQ(icon.wanted.cy, size.cy) << "at " << dpi_ << " DPI";
        const std::vector<COLORREF> image =
            IconImagePixels(GetModuleHandleA(nullptr), IDI_APP, icon.wanted.cx, Magenta);
        EXPECT_FALSE(image.empty()) << "the icon file holds no " << icon.wanted.cx << "-pixel image";
        EXPECT_EQ(image, shown) << "not the icon file's " << icon.wanted.cx << "-pixel image";
    }
    DestroyWindow(about);
    // Loaded for these windows alone, the icons went with them.
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(icons[2].icon, &info)) << "the About icon outlived its box";
    DestroyWindow(window_);
    EXPECT_FALSE(GetIconInfo(icons[0].icon, &info)) << "the caption icon outlived its window";
    EXPECT_FALSE(GetIconInfo(icons[1].icon, &info)) << "the large icon outlived its window";
}

// 168 DPI asks for 28 pixels, which no picture is drawn for: one is scaled at load, and the
// row shows only the pictures' own colours on its background, none mixed with the magenta.
TEST_F(SharpPictures, PictureScaledAtLoadKeepsItsColours)
{
    const int size = 28;
    HBITMAP picture = LoadMapPicture(GetModuleHandleA(nullptr), size);
    ASSERT_NE(nullptr, picture);
    std::set<COLORREF> own;
    for (int drawn : { 16, 20, 24, 32 })
        for (COLORREF pixel : MapPicturePixels(GetModuleHandleA(nullptr), drawn))
            if (pixel != Magenta)
                own.insert(pixel);
    ASSERT_GT(own.size(), 3u);

    const COLORREF background = RGB(0, 128, 0);
    Canvas row(MulDiv(2, dpi_, 96) + size + 8, size + 12, background);
    ASSERT_TRUE(row.Ready());
    // No name: it would be drawn over the picture, which is wider than the row expects.
    int index = AddMap("", picture);
    DRAWITEMSTRUCT draw = { ODT_LISTBOX, IDC_MAP_LIST, static_cast<UINT>(index), ODA_DRAWENTIRE, 0, List(), row.Dc(),
                            { 0, 0, row.Width(), row.Height() }, reinterpret_cast<ULONG_PTR>(picture) };
    EXPECT_EQ(TRUE, MainDialogProc(window_, WM_DRAWITEM, IDC_MAP_LIST, reinterpret_cast<LPARAM>(&draw)));
    SendMessageA(List(), LB_RESETCONTENT, 0, 0);
    DeleteObject(picture);

    int mixed = 0;
    for (int y = 0; y < row.Height(); ++y)
        for (int x = 0; x < row.Width(); ++x)
            mixed += row.At(x, y) != background && !own.count(row.At(x, y));
    EXPECT_EQ(0, mixed) << "pixels of colours the pictures do not hold";
    // The sheet fills 14 x 12 of 16 x 16, inside the square the picture is drawn in.
    const RECT sheet = row.BoxOtherThan({ 0, 0, row.Width(), row.Height() }, background);
    const RECT square = { MulDiv(2, dpi_, 96), 6, MulDiv(2, dpi_, 96) + size, 6 + size };
    RECT inside;
    EXPECT_TRUE(IntersectRect(&inside, &sheet, &square) && EqualRect(&inside, &sheet));
    const int wide = sheet.right - sheet.left, high = sheet.bottom - sheet.top;
    EXPECT_LE(abs(wide - MulDiv(14, size, 16)), 1) << "sheet " << wide << " wide";
    EXPECT_LE(abs(high - MulDiv(12, size, 16)), 1) << "sheet " << high << " high";
}
