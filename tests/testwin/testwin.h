/* The test-window program's class name and the requests a test can send it. */
#ifndef ZARN_TESTWIN_H
#define ZARN_TESTWIN_H
#include <windows.h>

#define TESTWIN_CLASS "ZarnTestWindow"

/* Requests, sent or posted to the main window. */
#define TW_SETICON    (WM_APP + 1)  /* wParam 0: own small icon, 1: small null, 2: big */
#define TW_HANG       (WM_APP + 2)  /* post it: the thread stops answering for lParam ms (0: for good) */
#define TW_SETTITLE   (WM_APP + 3)  /* wParam n: title "<base> n"; n 0: empty title */
#define TW_CHILDTITLE (WM_APP + 4)  /* wParam n: child's (or owned popup's, lParam 1) title */
#define TW_FOCUSOWNED (WM_APP + 5)  /* focus the edit box of the owned popup */
#define TW_SYSRESULT  (WM_APP + 6)  /* wParam: value WM_SYSCOMMAND SC_MINIMIZE answers (0: default handling) */

#endif
