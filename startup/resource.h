/* Zarninst's resource ids. */
#ifndef ZARN_STARTUP_RESOURCE_H
#define ZARN_STARTUP_RESOURCE_H

#define IDD_ABOUTBOX          100
#define IDS_ABOUTBOX          101
#define IDD_ZARNINST_DIALOG   102
#define IDR_MAINFRAME         128
#define IDC_SHORTCUTS         1001

/* The about item of the system menu; system commands keep their low four
   bits free, so 16 to 31 all mean this item. */
#define IDM_ABOUTBOX          0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
