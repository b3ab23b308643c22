#include <windows.h>
#include "Picker.h"

HMENU BuildPickerMenu(void) { return NULL; }
int MeasureWindowMenuItem(MEASUREITEMSTRUCT *mis) { (void)mis; return 0; }
void DrawWindowMenuItem(const DRAWITEMSTRUCT *dis) { (void)dis; }
