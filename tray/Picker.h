/* The window picker and the owner-drawn window items of both menus. */
#ifndef ZARN_PICKER_H
#define ZARN_PICKER_H
#include <windows.h>
#include "Menus.h"

#define PICKER_MAX 100   /* windows one enumeration collects at most */

/* The windows one enumeration collected, in Z order (topmost first). */
typedef struct PickerCandidates {
    int count;
    HWND windows[PICKER_MAX];
} PickerCandidates;

typedef struct PickerPair {
    int id;        /* -1, -2, ... */
    HWND window;
} PickerPair;

HMENU BuildPickerMenu(void);
BOOL CALLBACK CollectPickerCandidate(HWND window, LPARAM candidates);   /* PickerCandidates * */
int   ReplacePickerList(const PickerPair *pairs, int count);
int   SnapshotListedWindows(WindowListItem **out);
int   MeasureWindowMenuItem(MEASUREITEMSTRUCT *mis);
void  DrawWindowMenuItem(const DRAWITEMSTRUCT *dis);

/* While a menu is tracked every window item has one size: it is computed
   at the first WM_MEASUREITEM and kept until the tracking ends. */
void  BeginMenuSizing(void);
void  EndMenuSizing(void);

#endif
