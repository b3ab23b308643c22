// How long the TrayIn hotkey takes from the key press to the focused window
// being hidden (key, hotkey message, focus search, icon, minimize, the
// hook's report, hide), against the same window minimized and hidden by
// direct calls from this process in the same run (the floor).
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include <vector>
#include "Support.h"
#include "ZarnMsg.h"

namespace {

const int kRuns = 15;
const int kFirstTrayedId = 2;

double Ms(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// The key press alone, without the settling pause PressKey adds.
void SendKeys(UINT mods, UINT vk)
{
    INPUT in[8] = {};
    int n = 0;
    auto key = [&](UINT v, bool up) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = (WORD)v;
        in[n].ki.wScan = (WORD)MapVirtualKeyA(v, MAPVK_VK_TO_VSC);
        in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        n++;
    };
    if (mods & MOD_CONTROL) key(VK_CONTROL, false);
    if (mods & MOD_ALT) key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (mods & MOD_ALT) key(VK_MENU, true);
    if (mods & MOD_CONTROL) key(VK_CONTROL, true);
    SendInput(n, in, sizeof(INPUT));
}

// Wine brings its modifier keys in line with the X server's when a window
// gets the X focus; a key press right after a focus change can lose them.
void Settle()
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 150) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}

bool IsTopMost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Print(const char *what, const std::vector<double> &v)
{
    if (v.empty()) {
        printf("%-28s no runs\n", what);
        return;
    }
    printf("%-28s median %7.2f ms  min %7.2f  max %7.2f  (%zu runs)\n", what, Median(v),
           *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()), v.size());
}

}  // namespace

int main()
{
    ZarnSandbox zarn;
    if (!zarn.Start()) {
        printf("zarn.exe did not start\n");
        return 1;
    }
    HWND zw = zarn.WaitWindow();
    WaitForInputIdle(zarn.proc.pi.hProcess, 10000);
    TestWindow tw;
    if (!zw || !tw.Start()) {
        printf("no Zarn window or no test window\n");
        return 1;
    }
    HWND w = tw.hwnd;
    // A window of this process to take the activation when the test window
    // is hidden: otherwise Wine hands it to its tray window, which costs
    // about two seconds and would hide what is measured.
    HWND other = CreateWindowA("STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 120, 60,
                               NULL, NULL, NULL, NULL);
    std::vector<double> hotkey, floor;
    for (int run = 0; run < kRuns; run++) {
        // The floor: minimize and hide by direct calls, then show it again.
        FocusWindow(w);
        LARGE_INTEGER t0 = Now();
        ShowWindow(w, SW_MINIMIZE);
        ShowWindow(w, SW_HIDE);
        if (Poll([&] { return !IsWindowVisible(w); }))
            floor.push_back(Ms(t0, Now()));
        ShowWindow(w, SW_SHOWMINIMIZED);
        ShowWindow(w, SW_RESTORE);

        // TrayIn by key, timed until the window is hidden.
        if (!FocusWindow(w))
            printf("run %d: no focus\n", run);
        Settle();
        t0 = Now();
        SendKeys(MOD_ALT | MOD_CONTROL, VK_F3);
        if (!Poll([&] { return !IsWindowVisible(w); })) {
            printf("run %d: TrayIn did not hide the window (iconic %d, foreground %d, registered %d)\n", run,
                   IsIconic(w), GetForegroundWindow() == w,
                   (int)SendMessageA(zw, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0));
            break;
        }
        hotkey.push_back(Ms(t0, Now()));

        // Back out of the tray: shown again, then TrayIn on it takes it out;
        // a TopMost press behind it tells when that was handled.
        SendMessageA(zw, WM_COMMAND, IDM_WINDOW_BASE + kFirstTrayedId, 0);
        bool back = Poll([&] { return IsWindowVisible(w) && !IsIconic(w); });
        back = FocusWindow(w) && back;
        bool top = IsTopMost(w);
        Settle();
        SendKeys(MOD_ALT | MOD_CONTROL, VK_F3);
        SendKeys(MOD_ALT, VK_F2);
        back = Poll([&] { return IsTopMost(w) != top; }) && back;
        if (!back || SendMessageA(zw, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0)) {
            printf("run %d: the window did not come back out of the tray\n", run);
            break;
        }
    }
    Print("TrayIn key to hidden", hotkey);
    Print("direct minimize + hide", floor);
    if (!hotkey.empty() && !floor.empty() && Median(floor) > 0)
        printf("ratio (median TrayIn / median floor): %.1f\n", Median(hotkey) / Median(floor));
    DestroyWindow(other);
    tw.proc.Kill();
    zarn.Close();
    return 0;
}
