#include "app/game_detect.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace
{
// Runs both detections afresh in a folder that holds exactly the given names (a name ending
// in "/" is made a folder): what they found, "<ini> <exe>".
std::string DetectIn(const std::vector<std::string> &names)
{
    const std::string folder = MakeTempFolder("detect");
    if (folder.empty())
        return "no folder";
    for (const std::string &name : names)
        if (!name.empty() && name.back() == '/')
            MakeFolder(folder + "\\" + name.substr(0, name.size() - 1));
        else
            WriteTextFile(folder + "\\" + name, "");
    {
        CurrentDirectoryScope here(folder);
        ActiveGameIni.clear();
        ActiveGameExe.clear();
        DetectGameIni();
        DetectGameExe();
    }
    RemoveTree(folder);
    return ActiveGameIni + " " + ActiveGameExe;
}
}

TEST(GameDetection, UnrealTournamentAlone)
{
    EXPECT_EQ("UnrealTournament.ini UnrealTournament.exe",
              DetectIn({ "UnrealTournament.ini", "UnrealTournament.exe" }));
}

TEST(GameDetection, BothGamesPresentUnrealWins)
{
    EXPECT_EQ("Unreal.ini Unreal.exe",
              DetectIn({ "UnrealTournament.ini", "UnrealTournament.exe", "Unreal.ini", "Unreal.exe" }));
}

TEST(GameDetection, ConfigurationAndExecutableChosenIndependently)
{
    EXPECT_EQ("Unreal.ini UnrealTournament.exe", DetectIn({ "Unreal.ini", "UnrealTournament.exe" }));
}

TEST(GameDetection, NothingPresentLeavesBothEmpty)
{
    EXPECT_EQ(" ", DetectIn({ "Engine.int", "Unreal.u", "UnrealEd.exe", "Unreal.ini.bak" }));
}

TEST(GameDetection, FolderNamedLikeCandidateCounts)
{
    EXPECT_EQ("Unreal.ini Unreal.exe", DetectIn({ "Unreal.ini/", "UnrealTournament.ini", "Unreal.exe/" }));
}

TEST(GameDetection, NamesKeptAsListedWhateverTheFilesCase)
{
    EXPECT_EQ("Unreal.ini Unreal.exe", DetectIn({ "UNREAL.INI", "unreal.exe" }));
}
