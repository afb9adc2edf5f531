#include "app/launcher.h"
#include "version.h"  // made by CMake in the build folder
#include "ui/map_list_draw.h"
#include "main_dialog.h"

#include <cstring>

namespace
{
using MainWindowTest = MainDialogTest;

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

// One row of the window's layout: id, class, text, dialog-unit rectangle, style bits that
// must be set.
struct ControlRow
{
    int id;
    const char *className;
    const char *text;
    int x, y, width, height;
    DWORD style;
};

const ControlRow MainLayout[] = {
    { IDC_RUN, "Button", "Run", 253, 150, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED },
    { IDC_MAP_LIST, "ListBox", "", 7, 13, 118, 151,
      LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_BORDER
          | WS_VSCROLL | WS_TABSTOP },
    { IDC_PARAMS_GROUP, "Button", " Params: ", 131, 9, 171, 50, BS_GROUPBOX },
    { -1, "Static", "Maps:", 7, 4, 30, 8, 0 },
    { -1, "Static", "Map:", 139, 22, 28, 8, 0 },
    { IDC_MAP_PARAMS, "Edit", "", 170, 20, 125, 13, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP },
    { -1, "Static", "Game:", 139, 41, 28, 8, 0 },
    { IDC_GAME_PARAMS, "Edit", "", 170, 39, 125, 13, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP },
    { IDC_FULLSCREEN, "Button", "Fullscreen Mode:", 131, 89, 74, 10, BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP },
    { IDC_LANGUAGE_LABEL, "Static", "Language:", 130, 68, 39, 8, 0 },
    { IDC_LANGUAGE, "ComboBox", "", 170, 66, 125, 30, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP },
    { IDC_WINDOW_MODE, "ComboBox", "", 212, 105, 83, 30, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP },
    { IDC_WINDOW_MODE_LABEL, "Static", "Window Mode:", 142, 107, 66, 8, 0 },
    { IDC_FULLSCREEN_MODE, "ComboBox", "", 212, 88, 83, 30, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP },
    { IDC_ABOUT, "Button", "?", 130, 150, 15, 14, BS_PUSHBUTTON | WS_TABSTOP },
};

TEST_F(MainWindowTest, TemplateGivesCaptionStylesAndSize)
{
    EXPECT_EQ("Pelmar", WindowText(window_));
    LONG style = GetWindowLongA(window_, GWL_STYLE);
    EXPECT_EQ(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME,
              style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME));
    EXPECT_EQ(0, style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    RECT units = { 0, 0, 309, 171 };
    MapDialogRect(window_, &units);
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
}

// One control of a DIALOGEX template, as stored in the resource.
struct TemplateItem
{
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::string className, text;
};

struct DialogTemplate
{
    DWORD exStyle = 0, style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

// Reads a name-or-ordinal field; predefined classes come back by their names.
const WORD *ReadNameOrOrdinal(const WORD *at, std::string *name)
{
    static const char *const classes[] = { "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" };
    name->clear();
    if (*at == 0xFFFF)
    {
        *name = at[1] >= 0x80 && at[1] <= 0x85 ? classes[at[1] - 0x80] : "#" + std::to_string(at[1]);
        return at + 2;
    }
    while (*at)
        name->push_back(static_cast<char>(*at++));
    return at + 1;
}

template <typename T> T Read(const BYTE *at)
{
    T value;
    memcpy(&value, at, sizeof(value));
    return value;
}

const BYTE *AlignDword(const void *at)
{
    return reinterpret_cast<const BYTE *>((reinterpret_cast<UINT_PTR>(at) + 3) & ~static_cast<UINT_PTR>(3));
}

DialogTemplate LoadDialogTemplate(int id)
{
    DialogTemplate dialog;
    const BYTE *at = ResourceBytes(nullptr, id, 5);
    const WORD *words = reinterpret_cast<const WORD *>(at);
    if (!at || words[0] != 1 || words[1] != 0xFFFF)
        return dialog;
    dialog.exStyle = Read<DWORD>(at + 8);
    dialog.style = Read<DWORD>(at + 12);
    const WORD count = Read<WORD>(at + 16);
    dialog.cx = Read<short>(at + 22);
    dialog.cy = Read<short>(at + 24);
    std::string menu, windowClass;
    words = ReadNameOrOrdinal(reinterpret_cast<const WORD *>(at + 26), &menu);
    words = ReadNameOrOrdinal(words, &windowClass);
    words = ReadNameOrOrdinal(words, &dialog.caption);
    if (dialog.style & DS_SETFONT)
    {
        dialog.pointSize = words[0];
        words = ReadNameOrOrdinal(reinterpret_cast<const WORD *>(reinterpret_cast<const BYTE *>(words) + 6), &dialog.font);
    }
    for (WORD i = 0; i < count; ++i)
    {
        const BYTE *item = AlignDword(words);
        TemplateItem control = { Read<DWORD>(item + 4),  Read<DWORD>(item + 8),  Read<short>(item + 12),
                                 Read<short>(item + 14), Read<short>(item + 16), Read<short>(item + 18),
                                 static_cast<int>(Read<DWORD>(item + 20)), "", "" };
        words = ReadNameOrOrdinal(reinterpret_cast<const WORD *>(item + 24), &control.className);
        words = ReadNameOrOrdinal(words, &control.text);
        WORD extra = *words++;
        words = reinterpret_cast<const WORD *>(reinterpret_cast<const BYTE *>(words) + extra);
        dialog.items.push_back(control);
    }
    return dialog;
}

// Each control of dialog as rows lay it out, in order.
template <size_t Count>
void ExpectLaidOut(const DialogTemplate &dialog, const ControlRow (&rows)[Count])
{
    ASSERT_EQ(Count, dialog.items.size());
    for (size_t i = 0; i < Count; ++i)
    {
        const ControlRow &row = rows[i];
        const TemplateItem &item = dialog.items[i];
        SCOPED_TRACE(row.text[0] ? row.text : row.className);
        EXPECT_EQ(row.id, static_cast<short>(item.id));
        EXPECT_STRCASEEQ(row.className, item.className.c_str());
        EXPECT_EQ(row.text, item.text);
        EXPECT_EQ(row.x, item.x);
        EXPECT_EQ(row.y, item.y);
        EXPECT_EQ(row.width, item.cx);
        EXPECT_EQ(row.height, item.cy);
        EXPECT_EQ(row.style, item.style & row.style);
        // The kind of button, static, combo box or list lives in the low bits: they must match.
        EXPECT_EQ(row.style & SS_TYPEMASK, item.style & SS_TYPEMASK);
        EXPECT_TRUE(item.style & WS_VISIBLE);
    }
}

// Caption, size in dialog units and font.
std::string Header(const DialogTemplate &dialog)
{
    return dialog.caption + ", " + std::to_string(dialog.cx) + " x " + std::to_string(dialog.cy) + ", " + dialog.font
           + " " + std::to_string(dialog.pointSize);
}
}

TEST(MainTemplate, HeaderAndEveryControlAsLaidOut)
{
    DialogTemplate dialog = LoadDialogTemplate(IDD_MAIN);
    EXPECT_EQ("Pelmar, 309 x 171, MS Shell Dlg 8", Header(dialog));
    // Shown only once it is measured and placed: no WS_VISIBLE.
    const DWORD wanted = DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(wanted, dialog.style);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW), dialog.exStyle);
    ExpectLaidOut(dialog, MainLayout);
}

TEST_F(MainWindowTest, ControlsAreCreatedInTabOrderAtTheirPlaces)
{
    HWND child = GetWindow(window_, GW_CHILD);
    for (const ControlRow &row : MainLayout)
    {
        ASSERT_NE(nullptr, child) << "missing control " << row.id;
        SCOPED_TRACE(row.text[0] ? row.text : ClassName(child).c_str());
        EXPECT_EQ(row.id, static_cast<short>(GetDlgCtrlID(child)));
        EXPECT_STRCASEEQ(row.className, ClassName(child).c_str());
        // A drop-down list shows its selection, and is as high as its closed field (the
        // template gives the open height).
        const bool dropDown = row.id == IDC_LANGUAGE || row.id == IDC_WINDOW_MODE || row.id == IDC_FULLSCREEN_MODE;
        EXPECT_TRUE(dropDown || row.text == WindowText(child)) << WindowText(child);

        RECT origin = { row.x, row.y, 0, 0 };
        RECT size = { 0, 0, row.width, row.height };
        MapDialogRect(window_, &origin);
        MapDialogRect(window_, &size);
        RECT actual;
        GetWindowRect(child, &actual);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT *>(&actual), 2);
        EXPECT_EQ(origin.left, actual.left);
        EXPECT_EQ(origin.top, actual.top);
        EXPECT_EQ(size.right, actual.right - actual.left);
        EXPECT_TRUE(dropDown || size.bottom == actual.bottom - actual.top) << actual.bottom - actual.top;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, child) << "a control more than the layout has";
    EXPECT_EQ(IDC_RUN, LOWORD(SendMessageA(window_, DM_GETDEFID, 0, 0)));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));
}

TEST_F(MainWindowTest, NoControlOverlapsAnother)
{
    EXPECT_EQ("", Joined(OverlappingControls(window_), "; "));
}

TEST(AboutTemplate, HeaderAndControls)
{
    DialogTemplate dialog = LoadDialogTemplate(IDD_ABOUT);
    EXPECT_EQ("About..., 233 x 87, MS Shell Dlg 8", Header(dialog));
    EXPECT_EQ(static_cast<DWORD>(DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME | DS_SYSMODAL | WS_CAPTION | WS_SYSMENU),
              dialog.style);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_DLGMODALFRAME), dialog.exStyle);
    const ControlRow about[] = {
        { IDC_ABOUT_OK, "Button", "OK", 176, 66, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP },
        { IDC_ABOUT_ICON, "Static", "", 21, 20, 21, 20, SS_ICON | SS_REALSIZEIMAGE },
        { -1, "Static", "Pelmar", 51, 21, 27, 8, SS_LEFT },
        { -1, "Static", PELMAR_MAKER_LINE, 51, 31, 119, 8, SS_LEFT },
        // Target and text are the one address the project defines.
        { IDC_ABOUT_LINK, "SysLink", "<a href=\"" PELMAR_WEB_ADDRESS "\">" PELMAR_WEB_ADDRESS "</a>",
          51, 42, 118, 14, WS_TABSTOP },
    };
    ExpectLaidOut(dialog, about);
}

TEST_F(MainWindowTest, PicturesLoadInTheirFormats)
{
    ASSERT_NE(nullptr, MapIconBitmap);
    BITMAP bitmap;
    ASSERT_EQ(static_cast<int>(sizeof(bitmap)), GetObjectA(MapIconBitmap, sizeof(bitmap), &bitmap));
    EXPECT_EQ(16, bitmap.bmWidth);
    EXPECT_EQ(16, bitmap.bmHeight);

    EXPECT_NE(0, SendMessageA(window_, WM_GETICON, ICON_SMALL, 0));

    // The icon resource holds an image of each size Windows asks for, 256 colours each, and
    // 256 x 256 (written 0) with alpha.
    const BYTE *directory = ResourceBytes(nullptr, IDI_APP, 14);
    ASSERT_NE(nullptr, directory);
    const int sizes[] = { 16, 20, 24, 32, 40, 48, 64, 0 };
    ASSERT_EQ(8, directory[4] | (directory[5] << 8));
    for (int i = 0; i < 8; ++i)
    {
        const BYTE *entry = directory + 6 + 14 * i;
        EXPECT_EQ(sizes[i], entry[0]);
        EXPECT_EQ(sizes[i], entry[1]);
        EXPECT_EQ(sizes[i] ? 8 : 32, entry[6] | (entry[7] << 8)) << sizes[i];
    }

    // The map bitmap is 24 bits on pure magenta: its corner pixel.
    const auto *info = reinterpret_cast<const BITMAPINFOHEADER *>(ResourceBytes(nullptr, IDB_MAP, 2));
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(24, info->biBitCount);
    const BYTE *pixels = reinterpret_cast<const BYTE *>(info) + info->biSize;
    EXPECT_EQ(std::vector<BYTE>({ 0xFF, 0x00, 0xFF }), std::vector<BYTE>(pixels, pixels + 3));
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

TEST_F(MainWindowTest, RunFollowsTheMapSelection)
{
    HWND list = List();
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("DM-Deck16"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CTF-Face"));

    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_RUN)));

    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));

    // Selection changes of other controls, and other notifications of the list, do nothing.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, LBN_SELCHANGE), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_MAP_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_RUN)));
}

TEST_F(MainWindowTest, FullscreenSwitchFlipsWhichModeListIsUsable)
{
    FullscreenEnabled = false;
    ApplyFullscreenState(window_);
    EXPECT_EQ("off", SwitchState(window_));
    for (bool on : { true, false })
    {
        SendMessageA(Control(IDC_FULLSCREEN), BM_CLICK, 0, 0);
        EXPECT_EQ(on, FullscreenEnabled);
        EXPECT_EQ((on ? "on" : "off"), SwitchState(window_));
    }
}

TEST_F(MainWindowTest, ActivationChangeRepaintsTheWholeWindow)
{
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
    ValidateRect(window_, nullptr);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(window_, &update, FALSE));

    SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);
    ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_TRUE(EqualRect(&client, &update));
    UpdateWindow(window_);
    EXPECT_FALSE(GetUpdateRect(window_, &update, FALSE));
    ShowWindow(window_, SW_HIDE);
}

TEST_F(MainWindowTest, EscapeAndUnknownCommandsKeepTheWindow)
{
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, AnyCommandOfTheAboutBoxHidesIt)
{
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    ShowWindow(about, SW_SHOW);
    EnableWindow(window_, FALSE);
    // Not OK: Escape's IDCANCEL, as a dialog manager sends it.
    SendMessageA(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowEnabled(window_));
    DestroyWindow(about);
}

TEST(AboutBoxPlacement, CentredAndKeptOnTheScreen)
{
    const int w = 360, h = 150, screenW = 1024, screenH = 768;
    RECT main = { 100, 100, 560, 400 };
    POINT at = AboutBoxPosition(main, w, h, screenW, screenH);
    EXPECT_EQ((460 - w) / 2 + 100, at.x);
    EXPECT_EQ((300 - h) / 2 + 100, at.y);

    // Off the left, top, right and bottom edges.
    EXPECT_EQ(0, AboutBoxPosition({ -400, 100, 60, 400 }, w, h, screenW, screenH).x);
    EXPECT_EQ(0, AboutBoxPosition({ 100, -280, 560, 20 }, w, h, screenW, screenH).y);
    EXPECT_EQ(screenW - w, AboutBoxPosition({ 900, 100, 1360, 400 }, w, h, screenW, screenH).x);
    EXPECT_EQ(screenH - h, AboutBoxPosition({ 100, 700, 560, 1000 }, w, h, screenW, screenH).y);

    // A box larger than the screen ends at the screen's far edge and so starts off it,
    // wherever the main window is.
    const int bigW = 1200, bigH = 900;
    for (const RECT &corner : { RECT{ 100, 50, 500, 350 }, RECT{ 800, 600, 1200, 900 } })
    {
        POINT big = AboutBoxPosition(corner, bigW, bigH, screenW, screenH);
        EXPECT_EQ(screenW - bigW, big.x);
        EXPECT_EQ(screenH - bigH, big.y);
    }

    // Negative halves truncate towards zero, as the platform's division does.
    EXPECT_EQ((1 - 4) / 2 + 10, AboutBoxPosition({ 10, 10, 11, 11 }, 4, 4, screenW, screenH).x);
}

TEST(Launcher, NoTemplateGivesNonZeroExitInsteadOfWaitingForEver)
{
    // kernel32 holds no dialog 101: the main window cannot be made.
    EXPECT_EQ(ExitNoMainWindow, RunLauncher(GetModuleHandleA("kernel32.dll"), SW_SHOWNORMAL));
}

TEST(Launcher, VersionBlockNamesOneZeroZeroThree)
{
    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, path, sizeof(path)));
    DWORD size = 0;
    const BYTE *block = ResourceBytes(nullptr, 1, 16, &size);
    ASSERT_NE(nullptr, block);
    // VS_FIXEDFILEINFO follows its signature inside the block.
    const DWORD signature = 0xFEEF04BD;
    const VS_FIXEDFILEINFO *fixed = nullptr;
    for (DWORD i = 0; !fixed && i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4)
        if (memcmp(block + i, &signature, sizeof(signature)) == 0)
            fixed = reinterpret_cast<const VS_FIXEDFILEINFO *>(block + i);
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(3, 0), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
}

TEST(Launcher, ManifestAsksForCommonControlsSixAsInvoker)
{
    DWORD size = 0;
    const BYTE *text = ResourceBytes(nullptr, 1, 24, &size);
    ASSERT_NE(nullptr, text);
    std::string xml(reinterpret_cast<const char *>(text), size);
    EXPECT_NE(std::string::npos, xml.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, xml.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, xml.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, xml.find("uiAccess=\"false\""));
    // Windows refuses to start a program whose manifest names another processor.
    const char *own = sizeof(void *) == 4 ? "version=\"1.0.0.3\" processorArchitecture=\"x86\""
                                          : "version=\"1.0.0.3\" processorArchitecture=\"amd64\"";
    EXPECT_NE(std::string::npos, xml.find(own)) << xml;
}
