#include "main_dialog.h"

namespace
{
const COLORREF Background = RGB(0, 128, 0);
const COLORREF Ink = RGB(255, 0, 0);
const COLORREF Paper = RGB(0, 0, 255);
const COLORREF Magenta = RGB(255, 0, 255);
const int PictureSize = 16;
const int RowHeight = 20;
const int TextX = 21;

// The real main window with its list holding entries, each carrying the map picture.
class MapListDrawTest : public MainDialogTest
{
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, window_);
        ASSERT_NE(nullptr, MapIconBitmap);
        picture_ = MapPicturePixels(GetModuleHandleA(nullptr), PictureSize);
        ASSERT_EQ(size_t(PictureSize * PictureSize), picture_.size());
        bool anyMagenta = false, anyPicture = false;
        for (COLORREF pixel : picture_)
            (pixel == Magenta ? anyMagenta : anyPicture) = true;
        ASSERT_TRUE(anyMagenta && anyPicture) << "the map picture needs both background and picture";
    }

    // Asks the main window to draw one entry into canvas, as the list would.
    INT_PTR Draw(Canvas &canvas, int index, int top, UINT action, UINT state, int height = RowHeight)
    {
        SetTextColor(canvas.Dc(), Ink);
        SetBkColor(canvas.Dc(), Paper);
        DRAWITEMSTRUCT draw = { ODT_LISTBOX, IDC_MAP_LIST, static_cast<UINT>(index), action, state, List(),
                                canvas.Dc(), { 0, top, canvas.Width(), top + height }, 0 };
        if (index >= 0)
            draw.itemData = static_cast<ULONG_PTR>(SendMessageA(List(), LB_GETITEMDATA, index, 0));
        return MainDialogProc(window_, WM_DRAWITEM, IDC_MAP_LIST, reinterpret_cast<LPARAM>(&draw));
    }

    // Every picture pixel at (2, top + 2): the picture where it is not magenta, under it the
    // colour behind.
    void ExpectPicture(const Canvas &canvas, int top, COLORREF behind, int pictureTop = 2) const
    {
        EXPECT_EQ(0, MapPictureMismatches(canvas, picture_, 2, top + pictureTop, behind))
            << "picture of the row at " << top;
    }

    int TextHeight(const Canvas &canvas) const
    {
        TEXTMETRICA metrics;
        GetTextMetricsA(canvas.Dc(), &metrics);
        return metrics.tmHeight;
    }

    std::vector<COLORREF> picture_;
};
}

TEST_F(MapListDrawTest, UnselectedEntryDrawnOverWhatIsThere)
{
    int index = AddMap("WWWW");
    Canvas canvas(160, 40, Background);
    ASSERT_TRUE(canvas.Ready());
    const int top = 20;
    EXPECT_EQ(TRUE, Draw(canvas, index, top, ODA_DRAWENTIRE, 0));

    ExpectPicture(canvas, top, Background);
    // No fill: the list erased the row already.
    EXPECT_EQ(Background, canvas.At(1, top + 10));
    EXPECT_EQ(Background, canvas.At(canvas.Width() - 1, top + 10));
    EXPECT_EQ(Background, canvas.At(80, 5));

    // The text in the context's colours, from x = 21, centred in the row.
    int height = TextHeight(canvas);
    ASSERT_LE(height, RowHeight);
    int textTop = (top + RowHeight + top - height) / 2;
    for (int y = textTop; y < textTop + height; ++y)
    {
        EXPECT_EQ(Background, canvas.At(TextX - 1, y)) << "row " << y;
        EXPECT_NE(Background, canvas.At(TextX, y)) << "row " << y;
    }
    // Paper only where the text is.
    EXPECT_TRUE(textTop == top || !canvas.RowHolds(textTop - 1, TextX, canvas.Width(), Paper));
    EXPECT_TRUE(textTop + height == top + RowHeight
                || !canvas.RowHolds(textTop + height, TextX, canvas.Width(), Paper));
    EXPECT_TRUE(canvas.RowHolds(textTop + height / 2, TextX, canvas.Width(), Ink));
    EXPECT_TRUE(canvas.RowHolds(textTop + height / 2, TextX, canvas.Width(), Paper));
}

TEST_F(MapListDrawTest, SelectedEntryFilledWithHighlightAndFramed)
{
    int index = AddMap("A");
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_NE(Background, highlight);
    for (UINT action : { static_cast<UINT>(ODA_SELECT), static_cast<UINT>(ODA_DRAWENTIRE) })
    {
        SCOPED_TRACE(action);
        Canvas canvas(160, 20, Background);
        ASSERT_TRUE(canvas.Ready());
        EXPECT_EQ(TRUE, Draw(canvas, index, 0, action, ODS_SELECTED));
        ExpectPicture(canvas, 0, highlight);
        EXPECT_EQ(highlight, canvas.At(1, 10));
        EXPECT_EQ(highlight, canvas.At(canvas.Width() - 3, 10));
        EXPECT_EQ(highlight, canvas.At(canvas.Width() - 3, 18));
        // The dotted focus frame runs along the row's edges.
        int framed = 0;
        for (int x = 30; x < canvas.Width(); ++x)
            framed += canvas.At(x, 0) != highlight;
        EXPECT_GT(framed, 20);
    }
}

TEST_F(MapListDrawTest, DeselectedEntryRepaintedInWindowColour)
{
    int index = AddMap("A");
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ASSERT_NE(Background, window);
    Canvas canvas(160, 20, Background);
    ASSERT_TRUE(canvas.Ready());
    EXPECT_EQ(TRUE, Draw(canvas, index, 0, ODA_SELECT, 0));
    ExpectPicture(canvas, 0, window);
    EXPECT_EQ(window, canvas.At(1, 10));
    EXPECT_EQ(window, canvas.At(canvas.Width() - 3, 0));
    EXPECT_EQ(window, canvas.At(canvas.Width() - 3, 10));
}

TEST_F(MapListDrawTest, FocusChangeAndEmptyListDrawNothing)
{
    int index = AddMap("A");
    Canvas canvas(160, 20, Background);
    ASSERT_TRUE(canvas.Ready());
    EXPECT_EQ(TRUE, Draw(canvas, index, 0, ODA_FOCUS, ODS_FOCUS | ODS_SELECTED));
    EXPECT_EQ(FALSE, Draw(canvas, -1, 0, ODA_DRAWENTIRE, ODS_SELECTED));
    EXPECT_EQ(0, canvas.CountOtherThan({ 0, 0, canvas.Width(), 20 }, Background));
}

TEST_F(MapListDrawTest, TextBeyondTheDrawingStorageIsLeftOut)
{
    // 259 characters and the terminator fill the 260 bytes; one more does not fit.
    int fits = AddMap(std::string(259, 'W'));
    int tooLong = AddMap(std::string(260, 'X'));
    Canvas canvas(160, 40, Background);
    ASSERT_TRUE(canvas.Ready());
    EXPECT_EQ(TRUE, Draw(canvas, fits, 0, ODA_DRAWENTIRE, 0));
    EXPECT_EQ(TRUE, Draw(canvas, tooLong, 20, ODA_DRAWENTIRE, 0));
    EXPECT_TRUE(canvas.RowHolds(10, TextX, canvas.Width(), Ink));
    ExpectPicture(canvas, 20, Background);
    EXPECT_EQ(0, canvas.CountOtherThan({ TextX - 1, 20, canvas.Width(), 40 }, Background)) << "text drawn cut";
}

TEST_F(MapListDrawTest, TallerRowCentresPictureAndText)
{
    // As a large font makes the rows: 31 pixels, the picture 7 from the top and the text centred.
    const int height = 31;
    int index = AddMap("Dig");
    Canvas canvas(160, height, Background);
    ASSERT_TRUE(canvas.Ready());
    EXPECT_EQ(TRUE, Draw(canvas, index, 0, ODA_DRAWENTIRE, 0, height));
    ExpectPicture(canvas, 0, Background, (height - PictureSize) / 2);
    const int text = TextHeight(canvas);
    const int textTop = (height - text) / 2;
    EXPECT_TRUE(canvas.RowHolds(textTop, TextX, canvas.Width(), Paper));
    EXPECT_TRUE(canvas.RowHolds(textTop + text - 1, TextX, canvas.Width(), Paper));
    EXPECT_TRUE(textTop == 0 || !canvas.RowHolds(textTop - 1, TextX, canvas.Width(), Paper));
    EXPECT_FALSE(canvas.RowHolds(textTop + text, TextX, canvas.Width(), Paper));
}
