// How long "/J" takes from Zarn's start to the launched window being in the
// tray, against the time the same program needs to show its window at all
// (the floor). Both roads: a first start and a hand-over to a running Zarn.
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "Support.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

const int kRuns = 5;

std::string TestWinCommand(const char *title)
{
    return "\"" + BinPath("testwin.exe") + "\" /title=" + title;
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
}


bool Trayed(HWND w) { return IsWindow(w) && IsIconic(w) && !IsWindowVisible(w); }

// Start the program directly; ms until its window is visible.
double Floor(int run)
{
    char title[32];
    snprintf(title, sizeof title, "Floor%d", run);
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    Process p;
    if (!p.Start(TestWinCommand(title)))
        return -1;
    HWND w = nullptr;
    bool ok = Poll([&] {
        w = FindWindowA(TESTWIN_CLASS, title);
        return w && IsWindowVisible(w);
    }, 60000);
    QueryPerformanceCounter(&t1);
    return ok ? Ms(t0, t1) : -1;
}

// zarn.exe /J, as a first start or handed to `running`; ms until trayed.
double Launch(const std::string &zarnExe, const char *title, HWND running)
{
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    Process z;
    std::string cmd = "\"" + zarnExe + "\" /J \"" + TestWinCommand(title) + "\"";
    if (!z.Start(cmd))
        return -1;
    HWND w = nullptr;
    bool ok = Poll([&] {
        if (!w)
            w = FindWindowA(TESTWIN_CLASS, title);
        return w && Trayed(w);
    }, 60000);
    QueryPerformanceCounter(&t1);
    HWND zarn = running ? running : FindWindowA(ZARN_CLASS_NAME, NULL);
    DWORD_PTR registered = 0;
    if (ok && zarn)
        SendMessageTimeoutA(zarn, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0, SMTO_NORMAL, 5000, &registered);
    if (w)
        KillWindowProcess(w, 0);
    if (!running) {
        if (zarn)
            PostMessageA(zarn, WM_CLOSE, 0, 0);
        z.Wait(10000);
    } else {
        z.Wait(10000);   // the second start ends by itself
    }
    return ok && registered == 1 ? Ms(t0, t1) : -1;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main()
{
    ZarnSandbox host;   // a folder with zarn.exe and ZarnDLL.DLL
    if (!host.Start() || !host.WaitWindow()) {
        printf("zarn.exe did not start\n");
        return 1;
    }
    host.Close();

    std::vector<double> floor, first, handOver;
    for (int run = 0; run < kRuns; run++) {
        char title[32];
        floor.push_back(Floor(run));
        snprintf(title, sizeof title, "First%d", run);
        first.push_back(Launch(host.Exe(), title, nullptr));
    }

    ZarnSandbox running;
    HWND zarn = running.Start() ? running.WaitWindow() : nullptr;
    for (int run = 0; zarn && run < kRuns; run++) {
        char title[32];
        snprintf(title, sizeof title, "HandOver%d", run);
        handOver.push_back(Launch(running.Exe(), title, zarn));
    }
    running.Close();

    auto row = [](const char *name, const std::vector<double> &v, double base) {
        printf("%-34s", name);
        for (double x : v)
            printf(" %7.1f", x);
        double m = Median(v);
        printf("   median %7.1f ms", m);
        if (base > 0)
            printf("   x%.2f", m / base);
        printf("\n");
    };
    double f = Median(floor);
    printf("launch: %d runs each, ms (a failed run shows -1)\n", kRuns);
    row("floor: program shows its window", floor, 0);
    row("/J first start to trayed", first, f);
    row("/J hand-over to trayed", handOver, f);
    return 0;
}
