// Helpers for inspecting Zarn's menus in this process and for acting while
// one of them is being tracked (TrackPopupMenu is modal).
#ifndef ZARN_TEST_MENUUTIL_H
#define ZARN_TEST_MENUUTIL_H
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct MenuEntry {
    UINT id;
    UINT type;
    UINT state;
    ULONG_PTR data;
    std::wstring text;   // read through the wide API
    std::string ansi;    // read through the ANSI API (code page 932)
};

std::vector<MenuEntry> ReadMenu(HMENU menu);
std::wstring Wide(const char *utf8);   // a UTF-8 literal of this source as UTF-16
std::string Ansi(const char *utf8);    // the same text in the ANSI code page

// The popup menu window of this thread's open menu, or null.
HWND OpenMenuWindow();

// Runs action once a popup menu of this thread is on screen (from a timer
// inside the menu's own loop), then ends the menu unless the action
// returned true (it chose an item itself). Returns whether it ran.
extern std::function<bool(HWND menuWindow)> g_whileOpen;
void ArmWhileOpen(std::function<bool(HWND menuWindow)> action);
bool RanWhileOpen();

// Posts a key press to the open menu window (the menu loop reads its own queue).
void PostMenuKey(HWND menuWindow, UINT vk);

// A top-level window of this process without caption or frame (Wine leaves
// such windows to itself instead of the window manager, so hiding and
// destroying them is quick) and without a minimum size. showCmd SW_HIDE
// leaves it hidden; SW_SHOWMINNOACTIVE minimizes it with the restored size
// given.
HWND MakeLocalWindow(const char *title, int width, int height, DWORD extraStyle = 0,
                     int showCmd = SW_SHOWNOACTIVATE);

// The screen pixels of a rectangle, top-down 32-bit BGRA.
struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> bits;
    DWORD At(int x, int y) const { return bits[(size_t)y * width + x] & 0xFFFFFF; }
};
Pixels GrabScreen(const RECT &rc);
Pixels GrabDC(HDC dc, int width, int height);
bool SaveBmp(const Pixels &p, const std::string &path);
COLORREF ToColorRef(DWORD bgr);   // a pixel as COLORREF

#endif
