#include "globals.h"

char CommandLineBuffer[CommandLineBufferSize];
char ProfileBuffer[ProfileBufferSize];

int MainWindowWidth;
int MainWindowHeight;

HWND AboutWindow;
