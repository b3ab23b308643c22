// The tray menu and the window picker at the limits: 253 trayed windows
// (every id Zarn can hand out) and 100 picker windows. Prints the time from
// the request to the menu being built and to it being on screen, and the
// process snapshots taken per menu, beside a literal per-item approach (a
// snapshot per window per list, a fresh list per WM_MEASUREITEM), measured
// in the same run.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "InProcess.h"
#include "Main.h"
#include "Menus.h"
#include "Picker.h"
#include "Registry.h"
#include "ZarnMsg.h"

namespace {

const int kTrayed = TRAY_LAST_ID - 1;   // 253: ids 2..254
const int kPicker = PICKER_MAX;         // 100

// ---- counting process snapshots (Zarn binds Toolhelp by name) -----------

typedef HANDLE (WINAPI *SnapshotFn)(DWORD, DWORD);
typedef FARPROC (WINAPI *GetProcFn)(HMODULE, LPCSTR);
SnapshotFn g_realSnapshot;
GetProcFn g_realGetProc;
long g_snapshots;

HANDLE WINAPI CountingSnapshot(DWORD flags, DWORD pid)
{
    g_snapshots++;
    return g_realSnapshot(flags, pid);
}

FARPROC WINAPI CountingGetProc(HMODULE module, LPCSTR name)
{
    FARPROC p = g_realGetProc(module, name);
    if (((ULONG_PTR)name >> 16) && strcmp(name, "CreateToolhelp32Snapshot") == 0 && p) {
        g_realSnapshot = (SnapshotFn)(void *)p;
        return (FARPROC)(void *)CountingSnapshot;
    }
    return p;
}

// Points this program's import of GetProcAddress at the counter.
bool HookGetProcAddress()
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    auto dos = (IMAGE_DOS_HEADER *)base;
    auto nt = (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    auto dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto imp = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); imp->Name; imp++) {
        if (lstrcmpiA((char *)(base + imp->Name), "kernel32.dll") != 0)
            continue;
        auto names = (IMAGE_THUNK_DATA *)(base + imp->OriginalFirstThunk);
        auto slots = (IMAGE_THUNK_DATA *)(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (strcmp((char *)byName->Name, "GetProcAddress") != 0)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(void *), PAGE_READWRITE, &old);
            g_realGetProc = (GetProcFn)(void *)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)(void *)CountingGetProc;
            VirtualProtect(&slots->u1.Function, sizeof(void *), old, &old);
            return true;
        }
    }
    return false;
}

double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

// ---- the windows: another thread, as other programs' windows would be ---

HWND g_windows[kTrayed + kPicker];
HANDLE g_ready;

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

DWORD WINAPI WindowThread(void *)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    wc.lpszClassName = "ZarnBenchWindow";
    RegisterClassA(&wc);
    for (int i = 0; i < kTrayed + kPicker; i++) {
        char title[64];
        // Titles of different lengths, so that the widest one is found.
        wsprintfA(title, "%s %03d %.*s", i < kTrayed ? "Trayed" : "Picker", (i * 37) % 1000,
                  i % 23, "mmmmmmmmmmmmmmmmmmmmmmmmmmmm");
        HWND w = CreateWindowA("ZarnBenchWindow", title, WS_OVERLAPPED, 20 + i % 200, 20 + i % 150,
                               240, 120, NULL, NULL, wc.hInstance, NULL);
        // No caption: Wine leaves such windows to itself, not to a window manager.
        SetWindowLongA(w, GWL_STYLE, WS_CLIPSIBLINGS);
        if (i >= kTrayed)
            ShowWindow(w, SW_SHOWNOACTIVATE);   // trayed windows stay hidden
        g_windows[i] = w;
    }
    SetEvent(g_ready);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

// ---- the literal approach ------------------------------------------------

int LiteralFill(WindowListItem *items, int filled, const TrayEntry *head)
{
    for (const TrayEntry *e = head; e; e = e->next) {
        if (e->window == GetMainWindow())
            continue;
        WindowListItem *it = &items[filled++];
        it->id = e->id;
        it->window = e->window;
        it->title[0] = 0;
        GetWindowTextA(e->window, it->title, 255);
        if (!GetProcessExeName(e->window, it->processName))   // one snapshot each
            it->processName[0] = 0;
    }
    return filled;
}

int LiteralSnapshot(WindowListItem **out, bool withPicker)
{
    TrayLock();
    int room = g_tray.count + (withPicker ? PickerList.count : 0);
    WindowListItem *items = (WindowListItem *)HeapAlloc(GetProcessHeap(), 0, room * sizeof *items);
    int n = LiteralFill(items, 0, g_tray.head);
    if (withPicker)
        n = LiteralFill(items, n, PickerList.head);
    TrayUnlock();
    SortWindowList(items, n);
    *out = items;
    return n;
}

HMENU LiteralMenu(WindowListItem *items, int n, bool trayMenu)
{
    HMENU popup = CreatePopupMenu();
    for (int k = 0; k < n; k++) {
        int id = items[k].id;
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
        mii.fType = MFT_OWNERDRAW;
        mii.dwTypeData = items[k].title;
        mii.dwItemData = (ULONG_PTR)(LONG_PTR)id;
        mii.wID = (UINT)(id > 0 ? IDM_WINDOW_BASE + id : IDM_PICKER_BASE - id);
        InsertMenuItemA(popup, (UINT)k, TRUE, &mii);
    }
    if (trayMenu) {
        AppendMenuA(popup, MF_SEPARATOR, 0, NULL);
        AppendMenuA(popup, MF_STRING, IDM_CLOSE_ZARN, "close");
    }
    HeapFree(GetProcessHeap(), 0, items);
    return popup;
}

HMENU LiteralBuildTray()
{
    WindowListItem *items;
    int n = LiteralSnapshot(&items, false);
    return LiteralMenu(items, n, true);
}

HMENU LiteralBuildPicker()
{
    WindowListItem *trayed;
    int t = LiteralSnapshot(&trayed, false);   // only to tell trayed windows apart
    PickerCandidates c{};
    EnumWindows(CollectPickerCandidate, (LPARAM)&c);
    PickerPair pairs[PICKER_MAX];
    int count = 0;
    for (int i = 0; i < c.count; i++) {
        bool isTrayed = false;
        for (int k = 0; k < t && !isTrayed; k++)
            isTrayed = trayed[k].window == c.windows[i];
        if (!isTrayed) {
            pairs[count].id = -(count + 1);
            pairs[count].window = c.windows[i];
            count++;
        }
    }
    if (c.count)
        ReplacePickerList(pairs, count);
    HeapFree(GetProcessHeap(), 0, trayed);
    WindowListItem *items;
    int n = LiteralSnapshot(&items, true);
    return LiteralMenu(items, n, false);
}

// One WM_MEASUREITEM done literally: a fresh combined list with names.
void LiteralMeasure(MEASUREITEMSTRUCT *mis)
{
    WindowListItem *items;
    int n = LiteralSnapshot(&items, true);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE big{0, 16};
    for (int i = 0; i < n; i++) {
        SIZE s{};
        GetTextExtentPoint32A(dc, items[i].title, lstrlenA(items[i].title), &s);
        big.cx = s.cx > big.cx ? s.cx : big.cx;
        big.cy = s.cy > big.cy ? s.cy : big.cy;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    HeapFree(GetProcessHeap(), 0, items);
    mis->itemWidth = (UINT)(big.cx + 20);
    mis->itemHeight = (UINT)(big.cy + 2);
}

long g_literalMeasures;
long g_literalMeasureLimit;   // beyond it the size of the last one is reused
MEASUREITEMSTRUCT g_lastLiteral;

LRESULT CALLBACK LiteralOwnerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_MEASUREITEM && ((MEASUREITEMSTRUCT *)l)->CtlType == ODT_MENU) {
        auto mis = (MEASUREITEMSTRUCT *)l;
        if (g_literalMeasures++ < g_literalMeasureLimit) {
            LiteralMeasure(mis);
            g_lastLiteral = *mis;
        } else {
            mis->itemWidth = g_lastLiteral.itemWidth;
            mis->itemHeight = g_lastLiteral.itemHeight;
        }
        return TRUE;
    }
    if (m == WM_DRAWITEM && ((DRAWITEMSTRUCT *)l)->CtlType == ODT_MENU) {
        DrawWindowMenuItem((DRAWITEMSTRUCT *)l);
        return TRUE;
    }
    return DefWindowProcA(h, m, w, l);
}

// ---- showing: from the call until the menu is on screen and painted -----

double g_shownAt;

void CALLBACK ShownTick(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    HWND menu = FindWindowA((LPCSTR)MAKEINTATOM(32768), NULL);
    if (menu)
        UpdateWindow(menu);
    g_shownAt = Now();   // WM_TIMER comes after every paint of the menu
    EndMenu();
}

double Show(HWND owner, HMENU menu)
{
    double start = Now();
    g_shownAt = 0;
    SetTimer(NULL, 0, 1, ShownTick);
    ShowPopupMenu(owner, menu, 10, 10);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    return g_shownAt ? g_shownAt - start : -1;
}

struct Row {
    double buildMs, shownMs;
    long buildSnapshots, shownSnapshots;
};

void PrintLine(const char *what, double fastMs, double literalMs, long fastSnaps, long literalSnaps,
               const char *note = "")
{
    printf("%-34s %10.1f %10.1f %8.0fx %9ld %9ld%s\n", what, fastMs, literalMs, literalMs / fastMs, fastSnaps,
           literalSnaps, note);
}

void PrintRow(const char *what, const Row &fast, const Row &literal, const char *note)
{
    PrintLine(what, fast.buildMs + fast.shownMs, literal.buildMs + literal.shownMs,
              fast.buildSnapshots + fast.shownSnapshots, literal.buildSnapshots + literal.shownSnapshots, note);
}

}  // namespace

int main()
{
    if (!HookGetProcAddress())
        printf("note: could not count process snapshots\n");
    if (!BindHookLibrary()) {
        printf("ZarnDLL.DLL not found beside the program\n");
        return 1;
    }
    int code = 0;
    HWND main = CreateMainWindow(GetModuleHandleA(NULL), &code);
    LoadTrayMenus(GetModuleHandleA(NULL));

    g_ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    DWORD tid;
    HANDLE thread = CreateThread(NULL, 0, WindowThread, NULL, 0, &tid);
    WaitForSingleObject(g_ready, 60000);
    for (int i = 0; i < kTrayed; i++)   // registered without a hook: our own thread's windows
        TrayAddIcon(main, g_windows[i], LoadIconA(NULL, (LPCSTR)IDI_APPLICATION), "bench");

    WNDCLASSA wc{};
    wc.lpfnWndProc = LiteralOwnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ZarnBenchLiteralOwner";
    RegisterClassA(&wc);
    HWND literalOwner = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL);

    // One snapshot, to see what a snapshot costs here.
    char name[260];
    g_snapshots = 0;
    double t0 = Now();
    for (int i = 0; i < 20; i++)
        GetProcessExeName(g_windows[0], name);
    double perSnapshot = (Now() - t0) / 20;

    printf("%d trayed windows, %d picker windows; one process snapshot: %.3f ms\n", g_tray.count - 1, kPicker,
           perSnapshot);
    printf("%-34s %10s %10s %9s %9s %9s\n", "request to ... (ms)", "Zarn", "literal", "ratio",
           "snapshots", "literal");

    // Warm up both paths once (font caches, icon lookups).
    Show(main, BuildPickerMenu());

    // The picker: 253 + 100 windows.
    Row fast{}, literal{};
    g_snapshots = 0;
    double t = Now();
    HMENU picker = BuildPickerMenu();
    fast.buildMs = Now() - t;
    fast.buildSnapshots = g_snapshots;
    g_snapshots = 0;
    fast.shownMs = Show(main, picker);
    fast.shownSnapshots = g_snapshots;
    int items = GetMenuItemCount(picker);

    // Literally, every WM_MEASUREITEM takes items snapshots; measure as many
    // of them as fit in about a minute and count the rest at the same cost.
    double perMeasure = perSnapshot * items;
    g_literalMeasureLimit = (long)(60000.0 / (perMeasure > 0.01 ? perMeasure : 0.01));
    if (g_literalMeasureLimit > items)
        g_literalMeasureLimit = items;
    if (g_literalMeasureLimit < 3)
        g_literalMeasureLimit = 3;
    g_snapshots = 0;
    t = Now();
    HMENU literalPicker = LiteralBuildPicker();
    literal.buildMs = Now() - t;
    literal.buildSnapshots = g_snapshots;
    g_snapshots = 0;
    g_literalMeasures = 0;
    double shownLiteral = Show(literalOwner, literalPicker);
    long measured = g_literalMeasures < g_literalMeasureLimit ? g_literalMeasures : g_literalMeasureLimit;
    // Scale the literal measurements actually taken up to all of them.
    long perItemSnapshots = measured ? g_snapshots / measured : 0;
    literal.shownSnapshots = perItemSnapshots * g_literalMeasures;
    literal.shownMs = shownLiteral;
    char note[160] = "";
    if (measured < g_literalMeasures) {
        // The shown time holds `measured` literal measurements; add the rest.
        double oneMeasure = 0;
        {
            MEASUREITEMSTRUCT mis{};
            mis.CtlType = ODT_MENU;
            double s = Now();
            LiteralMeasure(&mis);
            oneMeasure = Now() - s;
        }
        literal.shownMs += oneMeasure * (g_literalMeasures - measured);
        snprintf(note, sizeof note, "  (literal: %ld of %ld WM_MEASUREITEM timed, rest at %.1f ms each)", measured,
                 g_literalMeasures, oneMeasure);
    }
    DestroyMenu(literalPicker);
    char label[64];
    snprintf(label, sizeof label, "picker built (%d items)", items);
    PrintLine(label, fast.buildMs, literal.buildMs, fast.buildSnapshots, literal.buildSnapshots);
    PrintRow("picker built and on screen", fast, literal, note);

    // The tray menu: 253 windows, measured over them and the 100 picker entries.
    Row tfast{}, tliteral{};
    g_snapshots = 0;
    t = Now();
    HMENU tray = BuildTrayMenu();
    tfast.buildMs = Now() - t;
    tfast.buildSnapshots = g_snapshots;
    g_snapshots = 0;
    tfast.shownMs = Show(main, tray);
    tfast.shownSnapshots = g_snapshots;
    g_snapshots = 0;
    t = Now();
    HMENU literalTray = LiteralBuildTray();
    tliteral.buildMs = Now() - t;
    tliteral.buildSnapshots = g_snapshots;
    g_snapshots = 0;
    g_literalMeasures = 0;
    tliteral.shownMs = Show(literalOwner, literalTray);
    measured = g_literalMeasures < g_literalMeasureLimit ? g_literalMeasures : g_literalMeasureLimit;
    perItemSnapshots = measured ? g_snapshots / measured : 0;
    tliteral.shownSnapshots = perItemSnapshots * g_literalMeasures;
    note[0] = 0;
    if (measured < g_literalMeasures) {
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_MENU;
        double s = Now();
        LiteralMeasure(&mis);
        double oneMeasure = Now() - s;
        tliteral.shownMs += oneMeasure * (g_literalMeasures - measured);
        snprintf(note, sizeof note, "  (literal: %ld of %ld WM_MEASUREITEM timed, rest at %.1f ms each)", measured,
                 g_literalMeasures, oneMeasure);
    }
    DestroyMenu(literalTray);
    snprintf(label, sizeof label, "tray menu built (%d items)", GetMenuItemCount(tray));
    PrintLine(label, tfast.buildMs, tliteral.buildMs, tfast.buildSnapshots, tliteral.buildSnapshots);
    PrintRow("tray menu built and on screen", tfast, tliteral, note);
    printf("process snapshots per menu: Zarn one per list, none for measuring; literal one per window per\n"
           "list and a whole list per WM_MEASUREITEM\n");

    fflush(stdout);
    // Windows and Zarn's state go with the process.
    (void)thread;
    ExitProcess(0);
}
