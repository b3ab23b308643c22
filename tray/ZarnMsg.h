/*
 * Zarn's private window messages, WM_COPYDATA kinds and menu commands.
 * Shared with ZarnDLL, which posts some of these from other processes,
 * so the numbers are fixed for good.
 */
#ifndef ZARN_MSG_H
#define ZARN_MSG_H

#define MSG_TRAY_MAIN         2025   /* shell callback for Zarn's own icon */
#define MSG_TRAY_WINDOW       2026   /* shell callback for a trayed window's icon */
#define MSG_ICON_CHANGED      2027   /* hook: wParam window, lParam new small icon */
#define MSG_WINDOW_DESTROYED  2029   /* hook: wParam window */
#define MSG_WINDOW_MINIMIZED  2031   /* hook: wParam window */
#define MSG_WINDOW_LAUNCHED   2034   /* launch worker: wParam main window of the program */
#define MSG_IS_MANAGED        2035   /* GetMsgProc asks before turning close into minimize */
#define MSG_START_COMMAND     3024   /* posted to itself: wParam mode, lParam heap block */

#define COPYDATA_LAUNCH  1
#define COPYDATA_OPEN    2
#define COPYDATA_TITLE  10

#define START_NONE    0
#define START_LAUNCH  1
#define START_OPEN    2

#define IDM_CLOSE_ZARN   40001
#define IDM_RESTORE      40002
#define IDM_CLOSE_WINDOW 40003
#define IDM_UNTRAY       40004
#define IDM_MINIMIZE     40005
#define IDM_TOPMOST      40006
#define IDM_WINDOW_BASE  50000   /* 50000 + tray id; 50000 alone is "(none)" */
#define IDM_PICKER_BASE  51000   /* 51000 - picker id (ids are negative) */

#define ZARN_MUTEX_NAME  "ZarnOBJECT2"
#define ZARN_CLASS_NAME  "ZarnCLASS2"
#define ZARN_WINDOW_NAME "Zarn"
#define ZARN_DLL_NAME    "ZarnDLL.DLL"

#define IDI_ZARN  101
#define IDR_TRAYMENU 102

#endif
