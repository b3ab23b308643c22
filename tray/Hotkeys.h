/* Global hotkeys: bindings read from the INI file beside zarn.exe. */
#ifndef ZARN_HOTKEYS_H
#define ZARN_HOTKEYS_H
#include <windows.h>

enum HotkeyAction { HOTKEY_MINIMIZE = 0, HOTKEY_TRAYIN = 1, HOTKEY_TOPMOST = 2, HOTKEY_WINSELECT = 3 };

#define HOTKEY_COUNT     4
#define HOTKEY_VALUE_SIZE 256   /* one INI value, terminator included */
#define HOTKEY_NAME_SIZE  10    /* one table name, terminator included */

typedef struct HotkeyBinding {
    int id;          /* HotkeyAction, or -1 when the specification was refused */
    UINT modifiers;  /* MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN */
    UINT key;        /* virtual-key code */
} HotkeyBinding;

/* A name between angle brackets and its value; a table ends at value 0. */
typedef struct HotkeyName {
    char name[HOTKEY_NAME_SIZE];
    UINT value;
} HotkeyName;

extern const HotkeyName ModifierNameTable[];
extern const HotkeyName KeyNameTable[];

void HotkeyRegisterAll(HWND window);
void HotkeyUnregisterAll(HWND window);

/* Fills four bindings in the order Minimize, TrayIn, WinSelect, TopMost;
   FALSE (nothing filled) when the program name has no dot. */
BOOL HotkeyLoadBindings(HotkeyBinding *bindings);
/* The same from a given INI file; NULL reads nothing and takes the defaults. */
void HotkeyReadBindings(const char *iniName, HotkeyBinding *bindings);
/* The INI file name for a command line (argv[0] up to its last dot, plus
   ".ini"; the module file name when the command line is empty) into
   MAX_PATH characters: 1 formed, 0 no dot, -1 does not fit. */
int  HotkeyFormIniName(const char *commandLine, char *iniName);

BOOL HotkeyParseSpec(const char *text, UINT *modifiers, UINT *key);
UINT HotkeyLookupName(const char *name, const HotkeyName *table);

#endif
