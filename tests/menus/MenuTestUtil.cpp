#include "MenuTestUtil.h"
#include <stdio.h>

std::vector<MenuEntry> ReadMenu(HMENU menu)
{
    std::vector<MenuEntry> out;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; i++) {
        MenuEntry e{};
        wchar_t wtext[300] = L"";
        MENUITEMINFOW w{};
        w.cbSize = sizeof w;
        w.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING;
        w.dwTypeData = wtext;
        w.cch = 299;
        GetMenuItemInfoW(menu, i, TRUE, &w);
        e.id = w.wID;
        e.type = w.fType;
        e.state = w.fState;
        e.data = w.dwItemData;
        e.text = (w.fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) ? L"" : wtext;
        char atext[600] = "";
        MENUITEMINFOA a{};
        a.cbSize = sizeof a;
        a.fMask = MIIM_STRING;
        a.dwTypeData = atext;
        a.cch = 599;
        GetMenuItemInfoA(menu, i, TRUE, &a);
        e.ansi = e.text.empty() ? "" : atext;
        out.push_back(e);
    }
    return out;
}

std::wstring Wide(const char *utf8)
{
    wchar_t buf[512];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, buf, 512);
    return n > 0 ? std::wstring(buf, n - 1) : std::wstring();
}

std::string Ansi(const char *utf8)
{
    std::wstring w = Wide(utf8);
    char buf[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, buf, sizeof buf, NULL, NULL);
    return n > 0 ? std::string(buf, n - 1) : std::string();
}

static BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM lp)
{
    char cls[32];
    if (GetWindowThreadProcessId(hwnd, NULL) == GetCurrentThreadId() &&
        GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32768") == 0 && IsWindowVisible(hwnd)) {
        *(HWND *)lp = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND OpenMenuWindow()
{
    HWND found = nullptr;
    EnumWindows(FindMenuWindow, (LPARAM)&found);
    return found;
}

std::function<bool(HWND)> g_whileOpen;
static bool g_ran;
static UINT_PTR g_timer;
static int g_ticks;

static void CALLBACK WhileOpenTick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = OpenMenuWindow();
    if (!menu) {
        if (++g_ticks > 200) {   // ten seconds without a menu: give up
            KillTimer(NULL, g_timer);
            g_timer = 0;
        }
        return;
    }
    KillTimer(NULL, g_timer);
    g_timer = 0;
    UpdateWindow(menu);   // drawn before the action looks at it
    bool chose = g_whileOpen ? g_whileOpen(menu) : false;
    g_ran = true;
    if (!chose)
        EndMenu();
}

void ArmWhileOpen(std::function<bool(HWND)> action)
{
    g_whileOpen = action;
    g_ran = false;
    g_ticks = 0;
    if (g_timer)
        KillTimer(NULL, g_timer);
    g_timer = SetTimer(NULL, 0, 50, WhileOpenTick);
}

bool RanWhileOpen()
{
    if (g_timer) {
        KillTimer(NULL, g_timer);
        g_timer = 0;
    }
    return g_ran;
}

void PostMenuKey(HWND menuWindow, UINT vk)
{
    LPARAM scan = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(menuWindow, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(menuWindow, WM_KEYUP, vk, scan | 1 | (3u << 30));
}

Pixels GrabDC(HDC src, int width, int height)
{
    Pixels p;
    p.width = width;
    p.height = height;
    p.bits.resize((size_t)width * height);
    HDC mem = CreateCompatibleDC(src);
    HBITMAP bmp = CreateCompatibleBitmap(src, width, height);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, src, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    GetDIBits(mem, bmp, 0, height, p.bits.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    return p;
}

Pixels GrabScreen(const RECT &rc)
{
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    Pixels p = GrabDC(mem, width, height);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return p;
}

bool SaveBmp(const Pixels &p, const std::string &path)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = p.width;
    ih.biHeight = -p.height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    DWORD size = (DWORD)(p.bits.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    fwrite(p.bits.data(), 1, size, f);
    return fclose(f) == 0;
}

COLORREF ToColorRef(DWORD bgr)
{
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

static LRESULT CALLBACK LocalProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_GETMINMAXINFO) {
        MINMAXINFO *mmi = (MINMAXINFO *)l;
        mmi->ptMinTrackSize.x = 1;
        mmi->ptMinTrackSize.y = 1;
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND MakeLocalWindow(const char *title, int width, int height, DWORD extraStyle, int showCmd)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA wc{};
    wc.lpfnWndProc = LocalProc;
    wc.hInstance = instance;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "ZarnMenuLocal";
    RegisterClassA(&wc);   // fails harmlessly once registered
    HWND w = CreateWindowExA(0, "ZarnMenuLocal", title, WS_OVERLAPPED, 40, 40, width, height,
                             NULL, NULL, instance, NULL);
    if (!w)
        return nullptr;
    SetWindowLongA(w, GWL_STYLE, (LONG)(extraStyle | WS_CLIPSIBLINGS));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(w, &wp);
    wp.rcNormalPosition.right = wp.rcNormalPosition.left + width;
    wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + height;
    wp.showCmd = showCmd == SW_HIDE ? SW_HIDE : showCmd;
    SetWindowPlacement(w, &wp);
    return w;
}
