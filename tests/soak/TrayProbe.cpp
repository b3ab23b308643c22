// Wine's tray keeps one small window per icon (class "__winex11_tray_icon",
// or "__wine_tray_icon" where explorer draws the tray itself) whose user
// data points at the icon's record in the tray's process. The record holds,
// one after another: image, owner, the icon window itself, a flag, the
// tooltip window, state, id, callback message, display slot, then the
// tooltip text. The icon window's own handle anchors the layout; the owner
// before it and a tooltip window after it confirm it.
#include "TrayProbe.h"
#include <string.h>

namespace {

const char *const kIconClasses[] = {"__winex11_tray_icon", "__wine_tray_icon"};
const char *const kTrayClasses[] = {"__winex11_standalone_tray", "Shell_TrayWnd"};

bool HasClass(HWND w, const char *const *names, size_t n)
{
    char cls[64];
    if (!GetClassNameA(w, cls, sizeof cls))
        return false;
    for (size_t i = 0; i < n; i++)
        if (lstrcmpA(cls, names[i]) == 0)
            return true;
    return false;
}

struct Collect {
    std::vector<HWND> icons;
};

BOOL CALLBACK AddIconWindow(HWND w, LPARAM lp)
{
    if (HasClass(w, kIconClasses, 2))
        ((Collect *)lp)->icons.push_back(w);
    return TRUE;
}

BOOL CALLBACK ScanTopLevel(HWND w, LPARAM lp)
{
    AddIconWindow(w, lp);   // docked or hidden icons are top-level
    if (HasClass(w, kTrayClasses, 2))
        EnumChildWindows(w, AddIconWindow, lp);
    return TRUE;
}

bool IsTooltipWindow(HWND w)
{
    char cls[64];
    return IsWindow(w) && GetClassNameA(w, cls, sizeof cls) && lstrcmpiA(cls, "tooltips_class32") == 0;
}

}  // namespace

bool ReadShellIcons(HWND owner, std::vector<ShellIcon> *icons, std::string *why)
{
    icons->clear();
    Collect c;
    EnumWindows(ScanTopLevel, (LPARAM)&c);
    std::string dummy;
    if (!why)
        why = &dummy;
    for (HWND w : c.icons) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, pid);
        if (!process) {
            *why = "cannot open the tray's process";
            return false;
        }
        BYTE rec[512];
        SIZE_T got = 0;
        const void *at = (const void *)GetWindowLongPtrA(w, GWLP_USERDATA);
        BOOL ok = at && ReadProcessMemory(process, at, rec, sizeof rec, &got) && got == sizeof rec;
        CloseHandle(process);
        if (!ok) {
            if (!IsWindow(w))
                continue;   // removed meanwhile
            *why = "cannot read an icon record";
            return false;
        }
        auto handleAt = [&](size_t off) { return *(HWND *)(rec + off); };
        size_t self = 0;
        for (size_t off = 2 * sizeof(void *); off <= 64 && !self; off += sizeof(void *))
            if (handleAt(off) == w && IsTooltipWindow(handleAt(off + 2 * sizeof(void *))))
                self = off;
        if (!self) {
            if (!IsWindow(w))
                continue;
            *why = "unknown icon record layout";
            return false;
        }
        if (handleAt(self - sizeof(void *)) != owner)
            continue;
        size_t after = self + 3 * sizeof(void *);   // past the flag and the tooltip window
        ShellIcon icon;
        icon.image = *(HICON *)(rec + self - 2 * sizeof(void *));
        icon.id = *(UINT *)(rec + after + 4);
        icon.callback = *(UINT *)(rec + after + 8);
        const WCHAR *tip = (const WCHAR *)(rec + after + 16);
        WCHAR text[128];
        memcpy(text, tip, sizeof text);
        text[127] = 0;
        char ansi[256];
        int n = WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, NULL, NULL);
        icon.tip = n > 0 ? std::string(ansi, n - 1) : std::string();
        icons->push_back(icon);
    }
    return true;
}
