#include "launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return RunLauncher(instance, showCommand);
}
