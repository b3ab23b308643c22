/*
 * Hotkey configuration: the [KeyBind] section of the INI file named after
 * the program, key specifications such as "<Alt><Ctrl><F3>", and the
 * registration of the four hotkeys on Zarn's main window.
 */
#include <windows.h>
#include <string.h>
#include "Hotkeys.h"

/* Searched in this order; a search stops at the entry whose value is 0. */
const HotkeyName ModifierNameTable[] = {
    {"ctrl", MOD_CONTROL}, {"alt", MOD_ALT}, {"shift", MOD_SHIFT}, {"win", MOD_WIN},
    {"", 0}
};

const HotkeyName KeyNameTable[] = {
    {"f12", VK_F12}, {"f11", VK_F11}, {"f10", VK_F10}, {"f9", VK_F9},
    {"f8", VK_F8}, {"f7", VK_F7}, {"f6", VK_F6}, {"f5", VK_F5},
    {"f4", VK_F4}, {"f3", VK_F3}, {"f2", VK_F2}, {"f1", VK_F1},
    {"tab", VK_TAB}, {"ret", VK_RETURN}, {"esc", VK_ESCAPE}, {"ins", VK_INSERT},
    {"del", VK_DELETE}, {"SPC", VK_SPACE}, {"pageup", VK_PRIOR},
    {"pagedown", VK_NEXT}, {"home", VK_HOME}, {"end", VK_END},
    {"num0", VK_NUMPAD0}, {"num1", VK_NUMPAD1}, {"num2", VK_NUMPAD2},
    {"num3", VK_NUMPAD3}, {"num4", VK_NUMPAD4}, {"num5", VK_NUMPAD5},
    {"num6", VK_NUMPAD6}, {"num7", VK_NUMPAD7}, {"num8", VK_NUMPAD8},
    {"num9", VK_NUMPAD9}, {"num*", VK_MULTIPLY}, {"num+", VK_ADD},
    {"num.", VK_DECIMAL}, {"num-", VK_SUBTRACT}, {"num/", VK_DIVIDE},
    {"", 0}
};

/* The INI keys in reading and registration order, with their defaults. */
static const struct {
    const char *key;
    const char *fallback;
    int id;
} BindingKeys[HOTKEY_COUNT] = {
    {"Minimize", "<Alt><F3>", HOTKEY_MINIMIZE},
    {"TrayIn", "<Alt><Ctrl><F3>", HOTKEY_TRAYIN},
    {"WinSelect", "<Alt><F9>", HOTKEY_WINSELECT},
    {"TopMost", "<Alt><F2>", HOTKEY_TOPMOST},
};

static char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

UINT HotkeyLookupName(const char *name, const HotkeyName *table)
{
    if (!name || !table)
        return 0;
    for (const HotkeyName *e = table; e->value; e++) {
        const char *a = name, *b = e->name;
        while (*a && FoldAscii(*a) == FoldAscii(*b)) {
            a++;
            b++;
        }
        if (*a == 0 && *b == 0)
            return e->value;
    }
    return 0;
}

BOOL HotkeyParseSpec(const char *text, UINT *modifiers, UINT *key)
{
    *modifiers = 0;
    *key = 0;
    if (!text)
        return FALSE;
    UINT mods = 0, vk = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (*p) {
        if (*p == '<') {
            const unsigned char *close = (const unsigned char *)strchr((const char *)p + 1, '>');
            if (!close)
                break;
            /* No table name is longer than the buffer holds, so a longer
               name is one that names nothing. */
            size_t len = (size_t)(close - p - 1);
            if (len < HOTKEY_NAME_SIZE) {
                char name[HOTKEY_NAME_SIZE];
                memcpy(name, p + 1, len);
                name[len] = 0;
                UINT value = HotkeyLookupName(name, ModifierNameTable);
                if (value)
                    mods |= value;
                else if ((value = HotkeyLookupName(name, KeyNameTable)) != 0)
                    vk = value;
            }
            p = close + 1;
            continue;
        }
        if (*p >= 0x21 && *p <= 0x7E)   /* the character's code is the key */
            vk = (*p >= 'a' && *p <= 'z') ? (UINT)(*p - 'a' + 'A') : *p;
        p++;   /* blanks, tabs, control characters and high bytes are skipped */
    }
    if (!vk || !mods)
        return FALSE;
    *modifiers = mods;
    *key = vk;
    return TRUE;
}

int HotkeyFormIniName(const char *commandLine, char *iniName)
{
    char program[MAX_PATH];
    size_t len;
    iniName[0] = 0;
    if (!commandLine || !*commandLine) {
        DWORD n = GetModuleFileNameA(NULL, program, MAX_PATH);
        if (n >= MAX_PATH)   /* cut short: the name of some other file */
            return -1;
        program[n] = 0;
        len = n;
    } else {
        /* argv[0] as the run-time splits it: quoted up to the next quote,
           otherwise up to the first blank or tab. */
        const char *start = commandLine, *end;
        if (*start == '"') {
            start++;
            end = strchr(start, '"');
            if (!end)
                end = start + strlen(start);
        } else {
            end = start;
            while (*end && *end != ' ' && *end != '\t')
                end++;
        }
        len = (size_t)(end - start);
        if (len >= MAX_PATH)
            return -1;
        memcpy(program, start, len);
        program[len] = 0;
    }
    char *dot = strrchr(program, '.');
    if (!dot)
        return 0;
    size_t stem = (size_t)(dot - program);
    if (stem + sizeof ".ini" > MAX_PATH)
        return -1;
    memcpy(iniName, program, stem);
    memcpy(iniName + stem, ".ini", sizeof ".ini");
    return 1;
}

void HotkeyReadBindings(const char *iniName, HotkeyBinding *bindings)
{
    char value[HOTKEY_VALUE_SIZE];
    for (int i = 0; i < HOTKEY_COUNT; i++) {
        if (iniName)
            GetPrivateProfileStringA("KeyBind", BindingKeys[i].key, BindingKeys[i].fallback,
                                     value, HOTKEY_VALUE_SIZE - 1, iniName);
        else
            lstrcpynA(value, BindingKeys[i].fallback, HOTKEY_VALUE_SIZE);
        bindings[i].id = BindingKeys[i].id;
        if (!HotkeyParseSpec(value, &bindings[i].modifiers, &bindings[i].key))
            bindings[i].id = -1;
    }
}

BOOL HotkeyLoadBindings(HotkeyBinding *bindings)
{
    char iniName[MAX_PATH];
    int formed = HotkeyFormIniName(GetCommandLineA(), iniName);
    if (!formed)
        return FALSE;
    /* A name too long to hold is never cut into another file's name: the
       defaults apply, as for a missing file. */
    HotkeyReadBindings(formed > 0 ? iniName : NULL, bindings);
    return TRUE;
}

void HotkeyRegisterAll(HWND window)
{
    HotkeyBinding bindings[HOTKEY_COUNT];
    if (!HotkeyLoadBindings(bindings))
        return;
    /* In this order: a combination taken by an earlier binding stays with it. */
    for (int i = 0; i < HOTKEY_COUNT; i++)
        if (bindings[i].id != -1)
            RegisterHotKey(window, bindings[i].id, bindings[i].modifiers, bindings[i].key);
}

void HotkeyUnregisterAll(HWND window)
{
    for (int id = 0; id < HOTKEY_COUNT; id++)
        UnregisterHotKey(window, id);
}
