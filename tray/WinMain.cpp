#include <windows.h>
#include "Main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return ZarnMain(instance);
}
