// The two dialog templates as linked into the module, checked against what each control is
// for: its id, its class, the styles its behaviour rests on, and the words players read.
// Where each control stands is checked on the created windows (test_screen_fit.cpp).
#include "main_dialog.h"
#include "module_resources.h"
#include "version.h"  // made by CMake in the build folder

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

namespace
{
// A control's kind and the style bits its behaviour needs; absent: bits it must not have.
struct Behaviour
{
    int id;
    const char *className;
    DWORD kindMask, kind, present, absent;
    const char *why;
};

const DWORD ComboKind = 0x3;   // CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST

const Behaviour MainControls[] = {
    { IDC_RUN, "Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_DISABLED | WS_TABSTOP, 0,
      "Enter runs; usable only once a map is picked" },
    { IDC_ABOUT, "Button", BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP, 0, "opens the About box" },
    { IDC_MAP_LIST, "ListBox", 0, 0, LBS_SORT | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | WS_VSCROLL,
      LBS_MULTIPLESEL | LBS_EXTENDEDSEL, "maps in name order, one picked, picture and name drawn" },
    { IDC_MAP_PARAMS, "Edit", 0, 0, ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE | ES_READONLY, "typed options" },
    { IDC_GAME_PARAMS, "Edit", 0, 0, ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE | ES_READONLY, "typed options" },
    { IDC_FULLSCREEN, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP, 0, "a click ticks it" },
    { IDC_LANGUAGE, "ComboBox", ComboKind, CBS_DROPDOWNLIST, CBS_SORT | WS_TABSTOP, 0,
      "only installed languages, in name order" },
    { IDC_FULLSCREEN_MODE, "ComboBox", ComboKind, CBS_DROPDOWNLIST, WS_TABSTOP, CBS_SORT,
      "only the display's modes, in the system's order" },
    { IDC_WINDOW_MODE, "ComboBox", ComboKind, CBS_DROPDOWNLIST, WS_TABSTOP, CBS_SORT,
      "only the display's modes, in the system's order" },
    { IDC_LANGUAGE_LABEL, "Static", SS_TYPEMASK, SS_LEFT, 0, 0, "greyed with its list" },
    { IDC_WINDOW_MODE_LABEL, "Static", SS_TYPEMASK, SS_LEFT, 0, 0, "greyed with its list" },
    { IDC_PARAMS_GROUP, "Button", BS_TYPEMASK, BS_GROUPBOX, 0, 0, "frames the two option fields" },
};

// What each control says, or for a label the control it names.
const std::map<int, std::string> MainWords = {
    { IDC_RUN, "Run" }, { IDC_ABOUT, "?" }, { IDC_FULLSCREEN, "Fullscreen Mode:" }, { IDC_PARAMS_GROUP, " Params: " },
};

// Each control of dialog that breaks its row of behaviours, or is not in them: one line each.
template <size_t Count>
std::string BehaviourFaults(const DialogTemplate &dialog, const Behaviour (&rows)[Count])
{
    std::string faults;
    std::map<int, int> seen;
    for (const TemplateItem &item : dialog.items)
    {
        ++seen[item.id];
        const Behaviour *row = nullptr;
        for (const Behaviour &candidate : rows)
            row = candidate.id == item.id ? &candidate : row;
        const std::string name = "control " + std::to_string(item.id) + " \"" + item.text + "\"";
        if (!(item.style & WS_VISIBLE))
            faults += name + " is not visible\n";
        if (!row)
        {
            if (item.id != IDC_STATIC || _stricmp(item.className.c_str(), "Static") != 0)
                faults += name + " (" + item.className + ") has no behaviour stated\n";
            continue;
        }
        if (_stricmp(row->className, item.className.c_str()) != 0)
            faults += name + " is a " + item.className + ", not a " + row->className + "\n";
        if ((item.style & row->kindMask) != row->kind || (item.style & row->present) != row->present
            || (item.style & row->absent) != 0)
            faults += name + " lacks the styles for: " + row->why + "\n";
    }
    for (const Behaviour &row : rows)
        if (seen[row.id] != 1)
            faults += "id " + std::to_string(row.id) + " is there " + std::to_string(seen[row.id]) + " times\n";
    return faults;
}

const TemplateItem *ItemWithId(const DialogTemplate &dialog, int id)
{
    for (const TemplateItem &item : dialog.items)
        if (item.id == id)
            return &item;
    return nullptr;
}
}

TEST(MainTemplate, EachControlHasItsIdClassAndTheStylesOfItsBehaviour)
{
    const DialogTemplate dialog = LoadDialogTemplate(nullptr, IDD_MAIN);
    ASSERT_FALSE(dialog.items.empty()) << "no main window template";
    EXPECT_EQ("", BehaviourFaults(dialog, MainControls));
}

TEST(MainTemplate, CaptionAndEveryControlSayWhatTheyAreFor)
{
    const DialogTemplate dialog = LoadDialogTemplate(nullptr, IDD_MAIN);
    // Players, and the e2e tests, find the window by it; after a run it comes back.
    EXPECT_EQ("Pelmar", dialog.caption);
    for (const auto &words : MainWords)
    {
        const TemplateItem *item = ItemWithId(dialog, words.first);
        EXPECT_TRUE(item && item->text == words.second) << "control " << words.first << " should say " << words.second;
    }
    // Every static is one of the labels, each once, and the control it names is there.
    const std::map<std::string, int> labels(MainWindowLabels().begin(), MainWindowLabels().end());
    size_t statics = 0;
    for (const TemplateItem &item : dialog.items)
        if (_stricmp(item.className.c_str(), "Static") == 0)
        {
            ++statics;
            EXPECT_TRUE(labels.count(item.text) && ItemWithId(dialog, labels.at(item.text)))
                << "label \"" << item.text << "\" names nothing";
        }
    EXPECT_EQ(labels.size(), statics);
}

// Hidden until measured and placed; a fixed size with a minimise box; on the taskbar; in the
// shell dialog font every size was measured with.
TEST(MainTemplate, WindowIsFixedInSizeHiddenAtFirstAndOnTheTaskbar)
{
    const DialogTemplate dialog = LoadDialogTemplate(nullptr, IDD_MAIN);
    const DWORD needed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_FIXEDSYS;
    EXPECT_EQ(needed, dialog.style & needed);
    EXPECT_EQ(0u, dialog.style & (WS_VISIBLE | WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_TRUE(dialog.exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ("MS Shell Dlg 8", dialog.font + " " + std::to_string(dialog.pointSize));
}

TEST(AboutTemplate, NameMakerAndLinkFromTheVersionHeader)
{
    const DialogTemplate dialog = LoadDialogTemplate(nullptr, IDD_ABOUT);
    ASSERT_FALSE(dialog.items.empty()) << "no About box template";
    const Behaviour about[] = {
        { IDC_ABOUT_OK, "Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, 0, 0, "Enter and OK close it" },
        { IDC_ABOUT_ICON, "Static", SS_TYPEMASK, SS_ICON, SS_REALSIZEIMAGE, 0, "the icon at its own size" },
        { IDC_ABOUT_LINK, "SysLink", 0, 0, WS_TABSTOP, 0, "opens the web address" },
    };
    EXPECT_EQ("", BehaviourFaults(dialog, about));
    EXPECT_EQ("About...", dialog.caption);
    // Hidden until "?" shows it.
    EXPECT_EQ(0u, dialog.style & WS_VISIBLE);
    const std::string link = "<a href=\"" PELMAR_WEB_ADDRESS "\">" PELMAR_WEB_ADDRESS "</a>";
    for (const std::string &text : { std::string("Pelmar"), std::string(PELMAR_MAKER_LINE), link })
    {
        size_t found = 0;
        for (const TemplateItem &item : dialog.items)
            found += item.text == text;
        EXPECT_EQ(1u, found) << text;
    }
}
