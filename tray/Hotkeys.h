/* Global hotkeys: bindings read from the INI file beside zarn.exe. */
#ifndef ZARN_HOTKEYS_H
#define ZARN_HOTKEYS_H
#include <windows.h>

enum HotkeyAction { HOTKEY_MINIMIZE = 0, HOTKEY_TRAYIN = 1, HOTKEY_TOPMOST = 2, HOTKEY_WINSELECT = 3 };

typedef struct HotkeyBinding {
    int id;          /* HotkeyAction, or -1 when the specification was refused */
    UINT modifiers;  /* MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN */
    UINT key;        /* virtual-key code */
} HotkeyBinding;

void HotkeyRegisterAll(HWND window);
void HotkeyUnregisterAll(HWND window);

#endif
