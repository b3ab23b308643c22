#include <windows.h>
#include "Launch.h"

void LaunchAndTray(const char *commandLine) { (void)commandLine; }
