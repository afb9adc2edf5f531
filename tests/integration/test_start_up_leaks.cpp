// What a main window takes at its start it gives back. Also run at 120, 144 and 192 DPI.
#include "ui/map_list_draw.h"
#include "main_dialog.h"

namespace
{
// Whether GdiObjectCount sees one bitmap made and deleted: else it could not see a leak either.
testing::AssertionResult CountSeesABitmap()
{
    const int base = GdiObjectCount();
    HBITMAP extra = CreateBitmap(1, 1, 1, 32, nullptr);
    const int with = GdiObjectCount();
    DeleteObject(extra);
    const int after = GdiObjectCount();
    if (extra && with == base + 1 && after == base)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "GDI objects counted " << base << ", with one bitmap more " << with
                                       << ", after deleting it " << after;
}
}

// Every GDI object and device context of the start-up goes back: the list's DC once its font
// is measured, the picture and both icons at WM_DESTROY. (The unscaled picture a scaled one
// leaves is counted below: every scale the tests run at has a bitmap of its own.)
TEST(StartUpLeaks, WindowMadeAndDestroyedLeavesTheGdiObjectsAsTheyWere)
{
    ASSERT_NE(0, ScreenDpiOfThisRun()) << "the prefix is not set to the scale this run is for";
    ASSERT_TRUE(CountSeesABitmap());
    {
        MainDialog first;   // loads what stays for later windows
    }
    const int before = GdiObjectCount();
    {
        MainDialog dialog;
        ASSERT_NE(nullptr, dialog.Window());
        const int held = DcsHeldFor(dialog.Window());
        HDC dc = GetDC(dialog.Control(IDC_MAP_LIST));
        ASSERT_EQ(held + 1, DcsHeldFor(dialog.Window()));
        ReleaseDC(dialog.Control(IDC_MAP_LIST), dc);
        EXPECT_EQ(0, held) << "device contexts of the window still out after its start";
    }
    EXPECT_EQ(before, GdiObjectCount()) << "GDI objects left behind by a main window";
}

TEST(StartUpLeaks, ScaledMapPictureKeepsNoOtherBitmap)
{
    // 40 pixels: no bitmap of its own, so the picture is scaled from the one drawn nearest.
    const auto load = [] { return LoadMapPicture(GetModuleHandleA(nullptr), 40); };
    ASSERT_TRUE(CountSeesABitmap());
    DeleteObject(load());
    const int before = GdiObjectCount();
    HBITMAP picture = load();
    BITMAP scaled = {};
    ASSERT_EQ(static_cast<int>(sizeof(scaled)), GetObjectA(picture, sizeof(scaled), &scaled));
    EXPECT_EQ(40, scaled.bmWidth);
    DeleteObject(picture);
    EXPECT_EQ(before, GdiObjectCount()) << "GDI objects left behind by a scaled map picture";
}
