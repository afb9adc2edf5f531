#include "launch/map_catalogue.h"
#include "launch/map_names.h"
#include "main_dialog.h"

namespace
{
typedef std::vector<std::string> Names;

// The real main window (its WM_INITDIALOG loads the map picture), with an empty map list.
class MapCatalogueTest : public MainDialogTest
{
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, window_);
        ASSERT_NE(nullptr, MapIconBitmap);
        ASSERT_EQ(0, SendMessageA(List(), LB_GETCOUNT, 0, 0));
    }

    // Fills the list as the launcher does at start, from the game's program folder.
    Names Catalogue(const TempGameFolder &game)
    {
        CurrentDirectoryScope here(game.System());
        FillMapCatalogue(window_);
        return ListTexts(List());
    }

    Names Scan(const TempGameFolder &game, const char *folder, const char *pattern)
    {
        CurrentDirectoryScope here(game.System());
        ScanMapFolder(window_, folder, pattern);
        return ListTexts(List());
    }
};
}

TEST_F(MapCatalogueTest, NamesAreCutAtTheFirstDot)
{
    TempGameFolder game("cat-dots");
    game.Touch({ "Maps\\Sample1.unr", "Maps\\Sample2.old.unr", "Maps\\DM-Deck16.UNR", "Maps\\UPak\\CTF-Face.Unr" });
    // A name that begins with its only dot leaves an entry with an empty text.
    game.Touch({ "Maps\\.unr" });
    EXPECT_EQ((Names{ "", "CTF-Face", "DM-Deck16", "Sample1", "Sample2" }), Catalogue(game));
}

TEST_F(MapCatalogueTest, BothFoldersInOneSortedOrderWithDuplicatesKept)
{
    TempGameFolder game("cat-both");
    game.Touch({ "Maps\\Charlie.unr", "Maps\\Alpha.unr", "Maps\\Same.unr", "Maps\\echo.unr" });
    game.Touch({ "Maps\\UPak\\Delta.unr", "Maps\\UPak\\bravo.unr", "Maps\\UPak\\Same.unr" });

    EXPECT_EQ((Names{ "Alpha", "bravo", "Charlie", "Delta", "echo", "Same", "Same" }), Catalogue(game));
    for (int i = 0; i < ListCount(List()); ++i)
        EXPECT_EQ(reinterpret_cast<LRESULT>(MapIconBitmap),
                  SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) << "entry " << i;
}

TEST_F(MapCatalogueTest, OnlyFilesNamedAsMapsAreListed)
{
    TempGameFolder game("cat-only");
    game.Touch({ "Maps\\Sample1.unr", "Maps\\Sample1.unr.bak", "Maps\\Notes.txt", "Maps\\Foo" });
    MakeFolder(game.Maps() + "\\Folder.unr");
    MakeFolder(game.UPak() + "\\Inner.unr");
    game.Touch({ "Maps\\UPak\\Inner.unr\\Nested.unr" });
    EXPECT_EQ((Names{ "Sample1" }), Catalogue(game));
}

// The search finds DM-Foo.unr2 through its short name (DM-F~QQJ.UNR under Wine); it is
// no map and must not be offered to run as DM-Foo.
TEST_F(MapCatalogueTest, ShortNameMatchesAreLeftOut)
{
    TempGameFolder game("cat-short");
    game.Touch({ "Maps\\DM-Foo.unr2", "Maps\\UPak\\x.unrx", "Maps\\Sample1.unr" });
    if (!Contains(FoundNames(game.Maps() + "\\*.unr"), "DM-Foo.unr2"))
        GTEST_SKIP() << "this file system does not match through short names";
    EXPECT_TRUE(Contains(FoundNames(game.UPak() + "\\*.unr"), "x.unrx"));
    EXPECT_EQ((Names{ "Sample1" }), Catalogue(game));
}

TEST_F(MapCatalogueTest, NameWithoutDotListedWholeWhenThePatternTakesIt)
{
    // "*.unr" never finds a name without a dot; a broader pattern does.
    TempGameFolder game("cat-nodot");
    game.Touch({ "Maps\\Foo", "Maps\\Bar.unr", "Maps\\Baz.old.txt" });
    MakeFolder(game.Maps() + "\\Sub");
    EXPECT_EQ((Names{ "Bar", "Baz", "Foo" }), Scan(game, "..\\Maps\\", "*"));
    EXPECT_EQ((Names{ "Bar", "Bar", "Baz", "Foo" }), Scan(game, "..\\Maps\\", MapFilePattern));
}

TEST_F(MapCatalogueTest, HiddenSystemAndReadOnlyFilesListed)
{
    TempGameFolder game("cat-attrs");
    game.Touch({ "Maps\\Hidden.unr", "Maps\\ReadOnly.unr", "Maps\\UPak\\System.unr" });
    ASSERT_TRUE(SetFileAttributesA((game.Maps() + "\\Hidden.unr").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((game.Maps() + "\\ReadOnly.unr").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((game.UPak() + "\\System.unr").c_str(),
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ((Names{ "Hidden", "ReadOnly", "System" }), Catalogue(game));
}

TEST_F(MapCatalogueTest, MissingUPakFolderLeavesTheOtherFolderAlone)
{
    TempGameFolder game("cat-noupak", true, false);
    game.Touch({ "Maps\\Sample1.unr", "Maps\\Sample2.unr" });
    ASSERT_FALSE(IsFolder(game.UPak()));
    EXPECT_EQ((Names{ "Sample1", "Sample2" }), Catalogue(game));
}

TEST_F(MapCatalogueTest, NoMapFoldersLeaveTheListEmpty)
{
    TempGameFolder game("cat-none", false);
    ASSERT_FALSE(IsFolder(game.Maps()));
    EXPECT_EQ(Names(), Catalogue(game));
    // Empty folders are the same.
    MakeFolder(game.Maps());
    MakeFolder(game.UPak());
    EXPECT_EQ(Names(), Catalogue(game));
}

TEST_F(MapCatalogueTest, ScanLeavesNoHandleOpen)
{
    TempGameFolder game("cat-handles");
    // A match that adds no entry: nothing but the search itself could stay behind.
    MakeFolder(game.Maps() + "\\Folder.unr");
    CurrentDirectoryScope here(game.System());
    // The first scan loads what later ones reuse.
    ScanMapFolder(window_, "..\\Maps\\", MapFilePattern);
    const long handles = OpenHandleCount();
    const SIZE_T heap = HeapBytesInUse();
    ASSERT_LT(0, handles);
    for (int i = 0; i < 3; ++i)
        ScanMapFolder(window_, "..\\Maps\\", MapFilePattern);
    // Windows keeps a search's handle until FindClose; Wine closes it after the last match
    // and keeps only the search's memory (8 KB each), so a little slack for the heap.
    EXPECT_EQ(handles, OpenHandleCount()) << "handles left open by three scans";
    EXPECT_GT(heap + 2048, HeapBytesInUse()) << "searches left open by three scans";
    EXPECT_EQ(0, ListCount(List()));
}
