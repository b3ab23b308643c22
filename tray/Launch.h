/* Launch a program and tray its main window ("/J"). */
#ifndef ZARN_LAUNCH_H
#define ZARN_LAUNCH_H
#include <windows.h>

void LaunchAndTray(const char *commandLine);

#endif
