/*
 * The program's entry point, kept apart so that only programs with an
 * application object link it.
 */
#include "ZApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    return AfxWinMain(instance, previous, commandLine, show);
}
