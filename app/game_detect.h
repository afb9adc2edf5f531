/* Which game lives in the working directory. Decided once, before WinMain. */
#ifndef PELMAR_GAME_DETECT_H
#define PELMAR_GAME_DETECT_H

#include <string>

/* Bare file names as listed ("Unreal.ini", ...), or empty when none is present. */
extern std::string ActiveGameIni;
extern std::string ActiveGameExe;

void DetectGameIni();
void DetectGameExe();

#endif
