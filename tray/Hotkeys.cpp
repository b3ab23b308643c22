#include <windows.h>
#include "Hotkeys.h"

void HotkeyRegisterAll(HWND window)
{
    (void)window;
}

void HotkeyUnregisterAll(HWND window)
{
    for (int id = 0; id < 4; id++)
        UnregisterHotKey(window, id);
}
