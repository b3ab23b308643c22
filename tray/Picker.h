/* The window picker and the owner-drawn window items of both menus. */
#ifndef ZARN_PICKER_H
#define ZARN_PICKER_H
#include <windows.h>

HMENU BuildPickerMenu(void);
int  MeasureWindowMenuItem(MEASUREITEMSTRUCT *mis);
void DrawWindowMenuItem(const DRAWITEMSTRUCT *dis);

#endif
