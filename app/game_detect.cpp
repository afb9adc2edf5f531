#include "game_detect.h"


static const char *const GameIniCandidates[] = { "Unreal.ini", "UnrealTournament.ini" };
static const char *const GameExeCandidates[] = { "Unreal.exe", "UnrealTournament.exe" };

std::string ActiveGameIni;
std::string ActiveGameExe;

/* Any answer counts as present, a folder of that name included. */
template <size_t N>
static void DetectFirstPresent(const char *const (&candidates)[N], std::string &result)
{
    for (const char *name : candidates)
    {
        if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
        {
            result = name;
            return;
        }
    }
}

void DetectGameIni()
{
    DetectFirstPresent(GameIniCandidates, ActiveGameIni);
}

void DetectGameExe()
{
    DetectFirstPresent(GameExeCandidates, ActiveGameExe);
}

/* Defined after the two values, so they are constructed first. */
static const bool GameDetected = (DetectGameIni(), DetectGameExe(), true);
