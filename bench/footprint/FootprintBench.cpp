// What Zarn costs: the size of the shipped files (and ZarnDLL's imports),
// the processor time a running Zarn uses while nothing happens with twenty
// windows in the tray (it has no timers and polls nothing, so it should be
// none), and its memory after a thousand tray-in/take-out cycles against
// after the first ten (nothing should grow). Printed, never judged.
#include <windows.h>
#define PSAPI_VERSION 2   /* the counters from kernel32 itself */
#include <psapi.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "Support.h"
#include "TrayProbe.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

const int kTrayed = 20;
const DWORD kIdleMs = 10000;
const int kFirstCycles = 10;
const int kCycles = 1000;
const DWORD kWait = 10000;

// --- The files ----------------------------------------------------------------

std::string FullPath(const std::string &path)
{
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
    return n && n < sizeof full ? std::string(full) : path;
}

long long FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a))
        return -1;
    return ((long long)a.nFileSizeHigh << 32) | a.nFileSizeLow;
}

// The DLL names a PE file imports (either word size), in file order.
std::vector<std::string> ImportedDlls(const std::string &path)
{
    std::vector<std::string> out;
    std::string b = ReadTextFile(path);
    if (b.size() < sizeof(IMAGE_DOS_HEADER))
        return out;
    auto dos = (const IMAGE_DOS_HEADER *)b.data();
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || (size_t)dos->e_lfanew + sizeof(IMAGE_NT_HEADERS64) > b.size())
        return out;
    auto nt = (const IMAGE_NT_HEADERS32 *)(b.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return out;
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
        ? ((const IMAGE_NT_HEADERS64 *)nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT]
        : nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_SECTION_HEADER *sec = IMAGE_FIRST_SECTION(nt);
    int nsec = nt->FileHeader.NumberOfSections;
    auto at = [&](DWORD rva, size_t len) -> const char * {
        for (int i = 0; i < nsec; i++) {
            DWORD size = sec[i].Misc.VirtualSize > sec[i].SizeOfRawData ? sec[i].Misc.VirtualSize
                                                                          : sec[i].SizeOfRawData;
            if (rva >= sec[i].VirtualAddress && rva < sec[i].VirtualAddress + size) {
                size_t off = sec[i].PointerToRawData + (rva - sec[i].VirtualAddress);
                return off + len <= b.size() ? b.data() + off : nullptr;
            }
        }
        return nullptr;
    };
    for (DWORD rva = dir.VirtualAddress; dir.VirtualAddress; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto d = (const IMAGE_IMPORT_DESCRIPTOR *)at(rva, sizeof(IMAGE_IMPORT_DESCRIPTOR));
        if (!d || !d->Name)
            break;
        const char *name = at(d->Name, 1);
        out.push_back(name ? std::string(name, strnlen(name, b.data() + b.size() - name)) : "?");
    }
    return out;
}

void PrintFiles(const char *label, const std::string &dir)
{
    printf("%s files in %s\n", label, dir.c_str());
    for (const char *f : {"zarn.exe", "ZarnDLL.DLL", "Zarninst.exe"}) {
        long long size = FileSize(dir + f);
        if (size < 0)
            printf("  %-14s missing\n", f);
        else
            printf("  %-14s %8lld bytes  %7.1f KiB\n", f, size, size / 1024.0);
    }
    std::vector<std::string> dlls = ImportedDlls(dir + "ZarnDLL.DLL");
    printf("  ZarnDLL.DLL imports:");
    for (const std::string &d : dlls)
        printf(" %s", d.c_str());
    printf("%s\n", dlls.empty() ? " (unreadable)" : "");
}

// --- The running Zarn -----------------------------------------------------------

double CpuMs(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return -1;
    auto ms = [](FILETIME t) { return (((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

struct Footprint {
    SIZE_T privateBytes = 0, workingSet = 0;
    DWORD handles = 0, gdi = 0, user = 0;
    bool ok = false;
};

Footprint Measure(HANDLE process)
{
    Footprint f;
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    f.ok = GetProcessMemoryInfo(process, &pmc, sizeof pmc) != 0;
    f.privateBytes = pmc.PagefileUsage;
    f.workingSet = pmc.WorkingSetSize;
    GetProcessHandleCount(process, &f.handles);
    f.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    f.user = GetGuiResources(process, GR_USEROBJECTS);
    return f;
}

// Wine answers 0 for another process's handle and GUI object counts.
void PrintFootprint(const char *label, const Footprint &f)
{
    printf("  %-20s private %8.1f KiB  working set %8.1f KiB", label, f.privateBytes / 1024.0,
           f.workingSet / 1024.0);
    if (f.handles || f.gdi || f.user)
        printf("  handles %4lu  GDI %3lu  USER %3lu", f.handles, f.gdi, f.user);
    printf("%s\n", f.ok ? "" : "  (memory counters unavailable)");
}

HWND OpenMenuOf(DWORD pid) { return FindProcessWindow(pid, "#32768", true); }

double Ratio(SIZE_T after, SIZE_T before) { return before ? (double)after / before : 0; }

bool TrayByHotkey(HWND w)
{
    if (!FocusWindow(w))
        return false;
    PumpFor(150);   // Wine settles its modifier keys after a focus change
    PressKey(MOD_ALT | MOD_CONTROL, VK_F3);
    return WaitUntil([&] { return !IsWindowVisible(w); }, kWait);
}

int Run()
{
    PrintFiles("x86", FullPath(BinDir() + "..\\..\\x86\\bin\\"));
    PrintFiles("x64", BinDir());

    ZarnSandbox zarn;
    if (!zarn.Start()) {
        printf("zarn.exe did not start\n");
        return 1;
    }
    HWND zw = zarn.WaitWindow();
    if (!zw) {
        printf("no Zarn window\n");
        return 1;
    }
    WaitForInputIdle(zarn.proc.pi.hProcess, kWait);
    HANDLE zp = zarn.proc.pi.hProcess;
    Footprint started = Measure(zp);

    TestWindow windows[kTrayed + 1];
    for (int i = 0; i <= kTrayed; i++) {
        char options[32];
        snprintf(options, sizeof options, "\"/title=Footprint %02d\"", i);
        if (!windows[i].Start(options)) {
            printf("test window %d did not start\n", i);
            return 1;
        }
    }
    for (int i = 0; i < kTrayed; i++)
        if (!TrayByHotkey(windows[i].hwnd) && !TrayByHotkey(windows[i].hwnd)) {
            printf("test window %d was not trayed (foreground %p, window %p)\n", i, (void *)GetForegroundWindow(),
                   (void *)windows[i].hwnd);
            return 1;
        }
    Footprint trayed = Measure(zp);
    std::vector<ShellIcon> icons;
    ReadShellIcons(zw, &icons);
    printf("Zarn's icons in the tray: %d\n", (int)icons.size());

    PumpFor(1000);   // the last reports handled
    double cpu0 = CpuMs(zp);
    DWORD t0 = GetTickCount();
    Sleep(kIdleMs);
    double cpu1 = CpuMs(zp);
    DWORD idle = GetTickCount() - t0;
    printf("idle with %d windows trayed: %.1f ms of processor time in %lu ms (%.3f %%)%s\n", kTrayed,
           cpu1 - cpu0, idle, (cpu1 - cpu0) * 100.0 / idle, cpu0 < 0 ? "  (process times unavailable)" : "");

    // One more window in and out of the tray, over and over: in as a
    // launched program's window is (posted, no focus needed), a new title
    // and icon while trayed, out by the per-window menu's "take out" for
    // its id, which the menu keeps from its last showing.
    TestWindow &cycler = windows[kTrayed];
    HWND cw = cycler.hwnd;
    const int id = kTrayed + 2;   // Zarn's own is 1, the twenty hold 2 to 21
    PostMessageA(zw, MSG_WINDOW_LAUNCHED, (WPARAM)cw, 0);
    if (!WaitUntil([&] { return !IsWindowVisible(cw); }, kWait)) {
        printf("the cycling window was not trayed\n");
        return 1;
    }
    auto untray = [&] {
        PostMessageA(zw, MSG_TRAY_WINDOW, (WPARAM)id, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!WaitUntil([&] { return (menu = OpenMenuOf(zarn.proc.Pid())) != nullptr; }, kWait))
            return false;
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitUntil([&] { return !IsWindowVisible(menu); }, kWait);
        SendMessageA(zw, WM_COMMAND, IDM_UNTRAY, 0);
        return WaitUntil([&] { return IsWindowVisible(cw) != 0; }, kWait);
    };
    if (!untray() && !untray()) {
        std::vector<ShellIcon> icons;
        ReadShellIcons(zw, &icons);
        printf("the per-window menu's 'take out' did not bring the window back (visible %d, minimized %d, "
               "%d icons, the last #%u)\n", IsWindowVisible(cw), IsIconic(cw), (int)icons.size(),
               icons.empty() ? 0 : icons.back().id);
        return 1;
    }

    Footprint afterFirst{};
    DWORD c0 = GetTickCount();
    double cpuCycles0 = CpuMs(zp);
    for (int c = 1; c <= kCycles; c++) {
        if (!WaitUntil([&] { return IsWindowVisible(cw) != 0; }, kWait)) {
            printf("cycle %d: the window did not come back\n", c);
            return 1;
        }
        PostMessageA(zw, MSG_WINDOW_LAUNCHED, (WPARAM)cw, 0);
        if (!WaitUntil([&] { return !IsWindowVisible(cw); }, kWait)) {
            printf("cycle %d: the window was not trayed\n", c);
            return 1;
        }
        SendMessageA(cw, TW_SETTITLE, (WPARAM)c, 0);
        SendMessageA(cw, TW_SETICON, (WPARAM)(c % 2), 0);
        SendMessageA(zw, WM_COMMAND, IDM_UNTRAY, 0);
        if (c == kFirstCycles) {
            WaitUntil([&] { return IsWindowVisible(cw) != 0; }, kWait);
            afterFirst = Measure(zp);
        }
    }
    WaitUntil([&] { return IsWindowVisible(cw) != 0; }, kWait);
    double cycleMs = (double)(GetTickCount() - c0) / kCycles;
    double cycleCpu = (CpuMs(zp) - cpuCycles0) / kCycles;
    Footprint afterAll = Measure(zp);

    printf("Zarn's footprint:\n");
    PrintFootprint("started", started);
    PrintFootprint("twenty trayed", trayed);
    char label[64];
    snprintf(label, sizeof label, "after %d cycles", kFirstCycles);
    PrintFootprint(label, afterFirst);
    snprintf(label, sizeof label, "after %d cycles", kCycles);
    PrintFootprint(label, afterAll);
    printf("growth from %d to %d cycles: private x%.3f (%+.1f KiB), working set x%.3f (%+.1f KiB)",
           kFirstCycles, kCycles, Ratio(afterAll.privateBytes, afterFirst.privateBytes),
           ((double)afterAll.privateBytes - (double)afterFirst.privateBytes) / 1024.0,
           Ratio(afterAll.workingSet, afterFirst.workingSet),
           ((double)afterAll.workingSet - (double)afterFirst.workingSet) / 1024.0);
    if (afterFirst.handles || afterFirst.gdi || afterFirst.user)
        printf(", handles %+ld, GDI %+ld, USER %+ld", (long)afterAll.handles - (long)afterFirst.handles,
               (long)afterAll.gdi - (long)afterFirst.gdi, (long)afterAll.user - (long)afterFirst.user);
    printf("\n");
    printf("one cycle (in, new title, new icon, out): %.2f ms, of it %.2f ms of Zarn's processor time\n", cycleMs,
           cycleCpu);

    DWORD code = zarn.Close(kWait);
    printf("Zarn ended with %ld\n", (long)code);
    return 0;
}

}  // namespace

int main() { return Run(); }
