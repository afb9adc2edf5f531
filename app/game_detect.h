/* Which game lives in the working directory. Decided once, before WinMain. */
#ifndef PELMAR_GAME_DETECT_H
#define PELMAR_GAME_DETECT_H

#include "globals.h"

void DetectGameIni();
void DetectGameExe();

#endif
