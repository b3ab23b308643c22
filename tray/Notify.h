/* The one door to the shell's notification area. Tests link a recording
   replacement of Notify.cpp in its place. */
#ifndef ZARN_NOTIFY_H
#define ZARN_NOTIFY_H
#include <windows.h>
#include <shellapi.h>

BOOL NotifyShell(DWORD message, NOTIFYICONDATAA *data);

#endif
