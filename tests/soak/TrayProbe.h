// Reads Wine's notification area from outside: the icons some window owns,
// with their ids, callback messages and tooltips, as the shell holds them.
#ifndef ZARN_TEST_TRAYPROBE_H
#define ZARN_TEST_TRAYPROBE_H
#include <windows.h>
#include <string>
#include <vector>

struct ShellIcon {
    UINT id = 0;
    UINT callback = 0;
    HICON image = nullptr;   // the shell's own copy: a new handle after every image change
    std::string tip;         // in the ANSI code page
};

// False when no tray window is found or its icon records cannot be read
// (another Wine than the one these records were laid out for); why says what.
bool ReadShellIcons(HWND owner, std::vector<ShellIcon> *icons, std::string *why = nullptr);

#endif
