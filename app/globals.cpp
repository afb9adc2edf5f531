#include "globals.h"

char CommandLineBuffer[CommandLineBufferSize];
char ProfileBuffer[ProfileBufferSize];

/* ActiveGameIni and ActiveGameExe are defined in game_detect.cpp, before the detection that
   fills them during static initialisation. */

int MainWindowWidth;
int MainWindowHeight;

HWND AboutWindow;
HWND AboutOwner;

HBITMAP MapIconBitmap;
bool FullscreenEnabled;

int WindowPosX;
int WindowPosY;

GameChoices GameChoicesOnFile = { false, -1, -1, -1 };
