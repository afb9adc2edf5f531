#include "app/game_detect.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Runs both detections afresh in a folder that holds exactly the given names; a name
// ending in "/" is made a folder.
void DetectIn(const std::vector<std::string> &names)
{
    std::string folder = MakeTempFolder("detect");
    ASSERT_FALSE(folder.empty());
    for (const std::string &name : names)
    {
        if (!name.empty() && name.back() == '/')
            MakeFolder(folder + "\\" + name.substr(0, name.size() - 1));
        else
            WriteTextFile(folder + "\\" + name, "");
    }
    {
        CurrentDirectoryScope here(folder);
        ActiveGameIni.clear();
        ActiveGameExe.clear();
        DetectGameIni();
        DetectGameExe();
    }
    RemoveTree(folder);
}
}

TEST(GameDetection, UnrealTournamentAlone)
{
    DetectIn({ "UnrealTournament.ini", "UnrealTournament.exe" });
    EXPECT_EQ("UnrealTournament.ini", ActiveGameIni);
    EXPECT_EQ("UnrealTournament.exe", ActiveGameExe);
}

TEST(GameDetection, BothGamesPresentUnrealWins)
{
    DetectIn({ "UnrealTournament.ini", "UnrealTournament.exe", "Unreal.ini", "Unreal.exe" });
    EXPECT_EQ("Unreal.ini", ActiveGameIni);
    EXPECT_EQ("Unreal.exe", ActiveGameExe);
}

TEST(GameDetection, ConfigurationAndExecutableChosenIndependently)
{
    DetectIn({ "Unreal.ini", "UnrealTournament.exe" });
    EXPECT_EQ("Unreal.ini", ActiveGameIni);
    EXPECT_EQ("UnrealTournament.exe", ActiveGameExe);
}

TEST(GameDetection, NothingPresentLeavesBothEmpty)
{
    DetectIn({ "Engine.int", "Unreal.u", "UnrealEd.exe", "Unreal.ini.bak" });
    EXPECT_EQ("", ActiveGameIni);
    EXPECT_EQ("", ActiveGameExe);
}

TEST(GameDetection, FolderNamedLikeCandidateCounts)
{
    DetectIn({ "Unreal.ini/", "UnrealTournament.ini", "Unreal.exe/" });
    EXPECT_EQ("Unreal.ini", ActiveGameIni);
    EXPECT_EQ("Unreal.exe", ActiveGameExe);
}

TEST(GameDetection, NamesKeptAsListedWhateverTheFilesCase)
{
    DetectIn({ "UNREAL.INI", "unreal.exe" });
    EXPECT_EQ("Unreal.ini", ActiveGameIni);
    EXPECT_EQ("Unreal.exe", ActiveGameExe);
}
