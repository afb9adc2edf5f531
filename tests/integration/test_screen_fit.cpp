// Both windows as a player sees them at the display scale this prefix is set to: every text
// fits its own rectangle as the shell dialog font draws it, and every map row holds the list's
// font whole. The test command runs this suite at 96, 120, 144 and 192 DPI
// (PELMAR_TEST_DPI names the scale a run was set up for).
#include "main_dialog.h"

#include <commctrl.h>
#include <algorithm>

namespace
{
// LM_GETIDEALHEIGHT with a size to fill, as Vista's headers name it.
const UINT LinkIdealSize = WM_USER + 0x301;

// A device context of the control with its own font selected, released with the scope.
class ControlDc
{
public:
    explicit ControlDc(HWND control) : control_(control), dc_(GetDC(control))
    {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        if (dc_ && font)
            replaced_ = SelectObject(dc_, font);
    }
    ~ControlDc()
    {
        if (replaced_)
            SelectObject(dc_, replaced_);
        if (dc_)
            ReleaseDC(control_, dc_);
    }
    ControlDc(const ControlDc &) = delete;
    ControlDc &operator=(const ControlDc &) = delete;

    HDC Dc() const { return dc_; }
    TEXTMETRICA Metrics() const
    {
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc_, &metrics);
        return metrics;
    }
    // The family of the font the name was mapped to ("MS Shell Dlg" stands for another).
    std::string Family() const
    {
        UINT size = GetOutlineTextMetricsA(dc_, 0, nullptr);
        if (size == 0)
            return std::string();
        std::vector<char> buffer(size);
        OUTLINETEXTMETRICA *metrics = reinterpret_cast<OUTLINETEXTMETRICA *>(buffer.data());
        if (!GetOutlineTextMetricsA(dc_, size, metrics))
            return std::string();
        return buffer.data() + reinterpret_cast<UINT_PTR>(metrics->otmpFamilyName);
    }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ replaced_ = nullptr;
};

// The size text needs, drawn as the control draws it (format), in a box width pixels wide.
SIZE Needed(HWND control, const std::string &text, UINT format, int width)
{
    ControlDc dc(control);
    RECT box = { 0, 0, width, 0 };
    DrawTextA(dc.Dc(), text.c_str(), -1, &box, format | DT_CALCRECT);
    return { box.right - box.left, box.bottom - box.top };
}

// Every text control of dialog whose text does not fit the room it is drawn in; checked
// counts the controls looked at.
std::vector<std::string> CutTexts(HWND dialog, int dpi, int *checked)
{
    std::vector<std::string> cut;
    *checked = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
    {
        const std::string className = ClassName(control);
        const std::string text = WindowText(control);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        RECT client = {};
        GetClientRect(control, &client);
        SIZE room = { client.right, client.bottom };
        SIZE needed = { 0, 0 };

        if (className == "Static")
        {
            DWORD kind = style & SS_TYPEMASK;
            if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_SIMPLE
                && kind != SS_LEFTNOWORDWRAP)
                continue;
            // A static word-wraps what does not fit its width; a word that cannot be broken
            // is wider than the box.
            UINT format = kind == SS_SIMPLE || kind == SS_LEFTNOWORDWRAP ? DT_SINGLELINE
                                                                         : DT_WORDBREAK | DT_EXPANDTABS;
            if (style & SS_NOPREFIX)
                format |= DT_NOPREFIX;
            needed = Needed(control, text, format, room.cx);
        }
        else if (className == "Button")
        {
            DWORD kind = style & BS_TYPEMASK;
            const TEXTMETRICA metrics = ControlDc(control).Metrics();
            const int average = metrics.tmAveCharWidth;
            // A check box's box and the gap before its text are no room for the text.
            if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX)
                room.cx -= MulDiv(13, dpi, 96) + average / 2;
            else if (kind == BS_GROUPBOX)
            {
                // The frame's corners stand left and right of the caption.
                room.cx -= 2 * average;
                room.cy = metrics.tmHeight;
            }
            else
            {
                // A push button's edges and focus frame.
                room.cx -= 2 * (GetSystemMetrics(SM_CXEDGE) + 1);
                room.cy -= 2 * (GetSystemMetrics(SM_CYEDGE) + 1);
            }
            needed = Needed(control, text, DT_SINGLELINE, room.cx);
        }
        else if (className == "SysLink")
        {
            // The link lays out its own text, underlined, wrapping at blanks.
            SIZE ideal = {};
            SendMessageA(control, LinkIdealSize, static_cast<WPARAM>(room.cx), reinterpret_cast<LPARAM>(&ideal));
            needed = ideal;
        }
        else
            continue;
        ++*checked;
        if (needed.cx > room.cx || needed.cy > room.cy || needed.cx <= 0 || needed.cy <= 0)
            cut.push_back("\"" + text + "\" needs " + std::to_string(needed.cx) + " x " + std::to_string(needed.cy)
                          + " pixels, has " + std::to_string(room.cx) + " x " + std::to_string(room.cy));
    }
    return cut;
}

RECT InClient(HWND dialog, HWND control)
{
    RECT rect = WindowRect(control);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::string Named(HWND control)
{
    return "\"" + WindowText(control) + "\" (" + std::to_string(GetDlgCtrlID(control)) + ")";
}

// The layout's rules, on the windows as created (a closed drop-down list is lower than its
// template): every control inside the client area; no two controls share a pixel, but for a
// group box and a control wholly inside it; each label beside its control, ending left of it
// within its rows, or above it at its left edge, less than the label's height away.
std::vector<std::string> LayoutFaults(HWND dialog)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    std::vector<std::string> faults;
    RECT client, common;
    GetClientRect(dialog, &client);
    for (size_t i = 0; i < controls.size(); ++i)
    {
        const RECT first = InClient(dialog, controls[i]);
        if (!IntersectRect(&common, &first, &client) || !EqualRect(&common, &first))
            faults.push_back(Named(controls[i]) + " reaches out of the window");
        for (size_t j = i + 1; j < controls.size(); ++j)
        {
            const RECT second = InClient(dialog, controls[j]);
            if (!IntersectRect(&common, &first, &second))
                continue;
            const auto holds = [&common](HWND group, const RECT &other) {
                return ClassName(group) == "Button" && EqualRect(&common, &other)
                       && (GetWindowLongA(group, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            };
            if (!holds(controls[i], second) && !holds(controls[j], first))
                faults.push_back(Named(controls[i]) + " overlaps " + Named(controls[j]));
        }
    }
    for (const auto &label : MainWindowLabels())
    {
        HWND shown = nullptr;
        for (HWND control : controls)
            shown = ClassName(control) == "Static" && WindowText(control) == label.first ? control : shown;
        if (!shown || !GetDlgItem(dialog, label.second))
        {
            faults.push_back("no label \"" + label.first + "\" with its control");
            continue;
        }
        const RECT text = InClient(dialog, shown), field = InClient(dialog, GetDlgItem(dialog, label.second));
        const int reach = text.bottom - text.top;
        const bool beside = text.right <= field.left && field.left - text.right < reach && text.top >= field.top
                            && text.bottom <= field.bottom;
        const bool above = text.bottom <= field.top && field.top - text.bottom < reach && text.left == field.left;
        if (!beside && !above)
            faults.push_back("label " + Named(shown) + " is not beside or above its control");
    }
    return faults;
}

class ScreenFit : public ScaledDialogTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ScaledDialogTest::SetUp());
        // Measured with another font, a pass would prove nothing.
        ASSERT_EQ("Tahoma", ControlDc(Control(IDC_RUN)).Family())
            << "the shell dialog font is not Wine's (or Windows') Tahoma: are Wine's fonts in the prefix?";
    }
};
}

TEST_F(ScreenFit, EveryTextOfTheMainWindowFitsItsRectangle)
{
    int checked = 0;
    std::vector<std::string> cut = CutTexts(window_, dpi_, &checked);
    // Maps, Map, Game, Language, Window Mode, Fullscreen Mode, the group box, Run and "?".
    EXPECT_EQ(9, checked);
    EXPECT_TRUE(cut.empty()) << "cut at " << dpi_ << " DPI:\n  " << Joined(cut, "\n  ");
}

TEST_F(ScreenFit, EveryTextOfTheAboutBoxFitsItsRectangle)
{
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about) << "no About box: are the common controls (SysLink) there?";
    int checked = 0;
    std::vector<std::string> cut = CutTexts(about, dpi_, &checked);
    DestroyWindow(about);
    // OK, the name, the maker line and the link.
    EXPECT_EQ(4, checked);
    EXPECT_TRUE(cut.empty()) << "cut at " << dpi_ << " DPI:\n  " << Joined(cut, "\n  ");
}

TEST_F(ScreenFit, ControlsInsideTheWindowApartAndLabelsBesideTheirControls)
{
    EXPECT_EQ("", Joined(LayoutFaults(window_), "; ")) << "at " << dpi_ << " DPI";
}

TEST_F(ScreenFit, MapRowsHoldTheListFontWhole)
{
    HWND list = List();
    // Names with ascenders and descenders: a row too low loses their bottoms.
    const char *const names[] = { "Abyss", "Dig", "Entry" };
    for (const char *name : names)
        AddMap(name);

    const TEXTMETRICA metrics = ControlDc(list).Metrics();
    const int row = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    // 20 pixels at 96 DPI, scaled, or as high as the font where that is more.
    EXPECT_EQ(std::max(MulDiv(20, dpi_, 96), static_cast<int>(metrics.tmHeight)), row)
        << "font " << metrics.tmHeight << " pixels high at " << dpi_ << " DPI";

    RECT client = {};
    GetClientRect(list, &client);
    ASSERT_GE(client.bottom, 4 * row) << "the list shows fewer than four rows";
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    Canvas shown(client.right, client.bottom, paper);
    ASSERT_TRUE(shown.Ready());
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shown.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    for (int i = 0; i < 3; ++i)
    {
        RECT item = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(row, item.bottom - item.top) << names[i];
    }
    // Each name drawn alone with the list's font: its row must show every pixel of it, no more.
    EXPECT_EQ("", MapRowsShown({ names, names + 3 }, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)),
                               GetModuleHandleA(nullptr), row, dpi_, paper)
                      .Fault(shown));
}
