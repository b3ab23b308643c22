// The whole system under a long random run: a real zarn.exe, twenty test
// windows and Wine's notepad, trayed and taken back by the TrayIn hotkey
// (real key presses), by Zarn's tray menu and the per-window menu (opened
// as the shell opens them, driven with keys), and by icon double-clicks;
// programs closed, killed and started again in between, titles and icons
// changing. After every step Zarn's icons (read from Wine's notification
// area), its registry (asked from outside) and the windows' visibility must
// agree with a model of what should be: no window lost hidden, no icon
// without a window. The run is seeded; ZARN_SOAK_SEED repeats one and
// ZARN_SOAK_STEPS changes its length.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>
#include "Support.h"
#include "TrayProbe.h"
#include "ZarnMsg.h"
#include "testwin.h"

namespace {

const int kTestWindows = 20;
const int kDefaultSteps = 600;   // under two minutes under Wine, when not loaded
const UINT kTrayInMods = MOD_ALT | MOD_CONTROL, kTrayInVk = VK_F3;
const UINT kMinimizeMods = MOD_ALT, kMinimizeVk = VK_F3;
const DWORD kWait = 10000;

enum State { GONE, UNTRAYED, HIDDEN, SHOWN };
const char *const kStateNames[] = {"gone", "untrayed", "hidden", "shown"};

// One program the soak runs, and what Zarn should have made of its window.
struct Slot {
    int index = 0;
    bool notepad = false;
    Process proc;
    HWND w = nullptr;
    State state = GONE;
    int id = 0;              // its tray id while trayed
    unsigned titleNo = 0;    // the test window's title counter
    bool topmost = false;
    bool Trayed() const { return state == HIDDEN || state == SHOWN; }
    std::string Name() const
    {
        char s[32];
        snprintf(s, sizeof s, notepad ? "notepad" : "win%02d", index);
        return s;
    }
};

std::string TitleOf(HWND w)
{
    char t[256] = "";
    GetWindowTextA(w, t, sizeof t);
    return t;
}

unsigned EnvNumber(const char *name, unsigned fallback)
{
    char v[32];
    DWORD n = GetEnvironmentVariableA(name, v, sizeof v);
    return n && n < sizeof v ? (unsigned)strtoul(v, nullptr, 10) : fallback;
}

class Soak : public ::testing::Test {
protected:
    ZarnSandbox zarn;
    HWND zw = nullptr;
    Slot slots[kTestWindows + 1];
    std::map<int, std::string> stale;   // icons of programs killed without notice: id -> tip
    bool staleMayGo = false;            // a tray menu drew its items, which looks them up
    std::mt19937 rng;
    unsigned seed = 0;
    int step = 0;
    std::deque<std::string> history;
    int opCount[16] = {};

    void SetUp() override
    {
        seed = EnvNumber("ZARN_SOAK_SEED", (unsigned)GetTickCount() ^ GetCurrentProcessId());
        rng.seed(seed);
        ASSERT_TRUE(zarn.Start());
        zw = zarn.WaitWindow();
        ASSERT_NE(nullptr, zw);
        WaitForInputIdle(zarn.proc.pi.hProcess, kWait);   // hotkeys are registered before the loop
        SetCursorPos(600, 420);   // menus open here; nothing moves the pointer afterwards
        for (int i = 0; i <= kTestWindows; i++) {
            slots[i].index = i;
            slots[i].notepad = i == kTestWindows;
        }
    }

    void TearDown() override
    {
        for (Slot &s : slots)
            s.proc.Kill();
    }

    std::string Context() const
    {
        std::string s = "seed " + std::to_string(seed) + " (ZARN_SOAK_SEED), step " + std::to_string(step) +
                        "; last steps:";
        for (const std::string &h : history)
            s += "\n  " + h;
        s += "\nmodel:";
        for (const Slot &sl : slots)
            if (sl.state != GONE)
                s += " " + sl.Name() + "=" + kStateNames[sl.state] + (sl.Trayed() ? "#" + std::to_string(sl.id) : "");
        for (auto &st : stale)
            s += " stale#" + std::to_string(st.first);
        return s;
    }
    void Note(const std::string &what)
    {
        history.push_back(std::to_string(step) + ": " + what);
        if (history.size() > 14)
            history.pop_front();
    }

    // --- Observing Zarn -----------------------------------------------------

    bool Icons(std::map<int, ShellIcon> *out, std::string *why)
    {
        std::vector<ShellIcon> list;
        if (!ReadShellIcons(zw, &list, why))
            return false;
        out->clear();
        for (const ShellIcon &i : list)
            (*out)[(int)i.id] = i;
        return true;
    }
    bool HasIcon(int id)
    {
        std::map<int, ShellIcon> icons;
        std::string why;
        return Icons(&icons, &why) && icons.count(id);
    }
    HICON ImageOf(int id)
    {
        std::map<int, ShellIcon> icons;
        std::string why;
        return Icons(&icons, &why) && icons.count(id) ? icons[id].image : nullptr;
    }
    // Everything posted to Zarn before this has been handled once it
    // returns true: Zarn is asked to renew its own icon's image (the same
    // picture), and the shell then holds a new copy of it.
    bool Flush()
    {
        HICON before = ImageOf(1);
        PostMessageA(zw, MSG_ICON_CHANGED, (WPARAM)zw, 0);
        return WaitUntil([&] {
            HICON now = ImageOf(1);
            return now && now != before;
        }, kWait);
    }
    // 1 only for a window in Zarn's registry, which Zarn then hides: asked
    // only of windows that should be hidden or should not be registered.
    LRESULT AskRegistered(HWND w)
    {
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(zw, MSG_WINDOW_MINIMIZED, (WPARAM)w, 0, SMTO_NORMAL, kWait, &r))
            return -1;
        return (LRESULT)r;
    }
    bool IsTopMost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    int LowestFreeId() const
    {
        for (int id = 2;; id++) {
            bool used = stale.count(id) != 0;
            for (const Slot &s : slots)
                used = used || (s.Trayed() && s.id == id);
            if (!used)
                return id;
        }
    }

    // The model against what can be seen; "" when they agree.
    std::string Check()
    {
        if (!Flush())
            return "Zarn did not handle a posted message within 10 s";
        std::map<int, ShellIcon> icons;
        std::string why;
        if (!Icons(&icons, &why))
            return "cannot read Wine's notification area: " + why;
        if (staleMayGo) {
            for (auto it = stale.begin(); it != stale.end();)
                it = icons.count(it->first) ? std::next(it) : stale.erase(it);
            staleMayGo = false;
        }
        std::map<int, std::string> want = stale;   // id -> tip
        want[1] = ZARN_WINDOW_NAME;
        std::string out;
        for (Slot &s : slots) {
            if (s.state == GONE)
                continue;
            if (!IsWindow(s.w) || !s.proc.Running()) {
                out += s.Name() + ": its window or program has gone; ";
                continue;
            }
            bool visible = IsWindowVisible(s.w) != 0;
            if (visible != (s.state != HIDDEN))
                out += s.Name() + (visible ? ": shown, should be hidden; " : ": hidden, should be shown; ");
            if (s.state != HIDDEN && IsIconic(s.w))
                out += s.Name() + ": minimized, should be restored; ";
            if (IsTopMost(s.w) != s.topmost)
                out += s.Name() + ": always-on-top state changed; ";
            if (s.state == HIDDEN || s.state == UNTRAYED) {
                LRESULT r = AskRegistered(s.w);
                if (r != (s.state == HIDDEN ? 1 : 0))
                    out += s.Name() + ": Zarn's registry answers " + std::to_string((long)r) + "; ";
            }
            if (s.Trayed())
                want[s.id] = TitleOf(s.w);
        }
        for (auto &i : icons) {
            auto w = want.find(i.first);
            if (w == want.end()) {
                out += "icon #" + std::to_string(i.first) + " '" + i.second.tip + "' without a window; ";
                continue;
            }
            if (i.second.tip != w->second)
                out += "icon #" + std::to_string(i.first) + " tip '" + i.second.tip + "', title '" + w->second + "'; ";
            if (!i.second.image)
                out += "icon #" + std::to_string(i.first) + " is blank; ";
            UINT callback = i.first == 1 ? MSG_TRAY_MAIN : MSG_TRAY_WINDOW;
            if (i.second.callback != callback)
                out += "icon #" + std::to_string(i.first) + " callback " + std::to_string(i.second.callback) + "; ";
        }
        for (auto &w : want)
            if (!icons.count(w.first))
                out += "no icon #" + std::to_string(w.first) + " for '" + w.second + "'; ";
        return out;
    }

    // --- Driving it ---------------------------------------------------------

    bool WaitHidden(Slot &s) { return WaitUntil([&] { return !IsWindowVisible(s.w); }, kWait); }
    bool WaitShown(Slot &s)
    {
        return WaitUntil([&] { return IsWindowVisible(s.w) && !IsIconic(s.w); }, kWait);
    }
    bool WaitNoIcon(int id) { return WaitUntil([&] { return !HasIcon(id); }, kWait); }

    // Wine lines its modifier state up with the X server's when a window
    // gets the focus; the press waits for that to settle.
    std::string Hotkey(Slot &s, UINT mods, UINT vk)
    {
        if (!FocusWindow(s.w) && !FocusWindow(s.w))
            return "could not focus " + s.Name();
        PumpFor(150);
        PressKey(mods, vk);
        return "";
    }

    // The popup menu Zarn is tracking, if one is open.
    HWND ZarnMenu() { return FindProcessWindow(zarn.proc.Pid(), "#32768", true); }
    // Posts the shell's right-button report, then keys to the menu Zarn
    // pops up (its loop reads the keys from its own queue); waits until the
    // menu has gone.
    std::string UseMenu(UINT callback, int id, const std::vector<UINT> &keys)
    {
        PostMessageA(zw, callback, (WPARAM)id, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!WaitUntil([&] { return (menu = ZarnMenu()) != nullptr; }, kWait))
            return "no menu opened";
        PumpFor(200);   // whatever the pointer under the new menu causes is handled first
        for (UINT vk : keys) {
            LPARAM scan = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
            PostMessageA(menu, WM_KEYDOWN, vk, scan | 1);
            PostMessageA(menu, WM_KEYUP, vk, scan | 1 | (3u << 30));
        }
        if (!WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, kWait))
            return "the menu stayed open";
        return "";
    }
    static std::vector<UINT> Down(int n, UINT last)
    {
        std::vector<UINT> k((size_t)n, VK_DOWN);
        k.push_back(last);
        return k;
    }

    std::string StartProgram(Slot &s)
    {
        if (s.notepad) {
            if (!s.proc.Start("notepad.exe"))
                return "notepad did not start";
            s.w = WaitForProcessWindow(s.proc.Pid(), "Notepad", kWait);
        } else {
            char cmd[MAX_PATH + 64];
            snprintf(cmd, sizeof cmd, "\"%s\" \"/title=Soak %02d\"", BinPath("testwin.exe").c_str(), s.index);
            if (!s.proc.Start(cmd))
                return "testwin did not start";
            s.w = WaitForProcessWindow(s.proc.Pid(), TESTWIN_CLASS, kWait);
        }
        if (!s.w || !WaitShown(s))
            return s.Name() + ": no window shown";
        s.state = UNTRAYED;
        s.id = 0;
        s.titleNo = 0;
        s.topmost = false;
        return "";
    }
    void Gone(Slot &s)
    {
        s.state = GONE;
        s.id = 0;
        s.w = nullptr;
    }

    // --- The steps ------------------------------------------------------------

    enum Op {
        OP_TRAY_HOTKEY, OP_UNTRAY_HOTKEY, OP_MINIMIZE_HOTKEY, OP_OWN_MINIMIZE, OP_DOUBLE_CLICK, OP_TRAY_MENU,
        OP_WINDOW_MENU, OP_DEAD_ICON, OP_CLOSE, OP_KILL, OP_START, OP_RETITLE, OP_REICON, OP_COUNT
    };

    bool Applies(Op op, const Slot &s) const
    {
        switch (op) {
        case OP_TRAY_HOTKEY: return s.state == UNTRAYED;
        case OP_UNTRAY_HOTKEY: case OP_MINIMIZE_HOTKEY: case OP_OWN_MINIMIZE: return s.state == SHOWN;
        case OP_DOUBLE_CLICK: case OP_TRAY_MENU: case OP_WINDOW_MENU: return s.Trayed();
        case OP_DEAD_ICON: return false;
        case OP_CLOSE: case OP_KILL: return s.state != GONE;
        case OP_START: return s.state == GONE;
        // The test windows change their own titles and icons. (A title set
        // from another process is not seen by the hook under Wine 8: it
        // hands hooks the sender's packed pointer.)
        case OP_RETITLE: case OP_REICON: return s.state != GONE && !s.notepad;
        default: return false;
        }
    }

    std::string RunStep()
    {
        // In tides: mostly traying for a while, then mostly giving back, so
        // that the tray fills up to all windows and empties again.
        static const int filling[OP_COUNT] = {12, 1, 1, 1, 3, 2, 4, 1, 1, 1, 2, 2, 1};
        static const int draining[OP_COUNT] = {2, 4, 1, 1, 3, 2, 6, 1, 2, 1, 4, 2, 1};
        const int *weights = (step / 60) % 2 == 0 ? filling : draining;
        std::vector<std::pair<Op, Slot *>> choices;
        std::vector<int> w;
        for (int op = 0; op < OP_COUNT; op++) {
            if (op == OP_DEAD_ICON) {
                if (!stale.empty()) {
                    choices.push_back({OP_DEAD_ICON, nullptr});
                    w.push_back(weights[op] * 4);
                }
                continue;
            }
            std::vector<Slot *> fit;
            for (Slot &s : slots)
                if (Applies((Op)op, s))
                    fit.push_back(&s);
            if (fit.empty())
                continue;
            Slot *s = fit[std::uniform_int_distribution<size_t>(0, fit.size() - 1)(rng)];
            choices.push_back({(Op)op, s});
            w.push_back(weights[op]);
        }
        size_t pick = std::discrete_distribution<size_t>(w.begin(), w.end())(rng);
        opCount[choices[pick].first]++;
        return Do(choices[pick].first, choices[pick].second);
    }

    std::string Do(Op op, Slot *sp)
    {
        Slot &s = sp ? *sp : slots[0];
        std::string name = sp ? s.Name() : "";
        std::string err;
        switch (op) {
        case OP_TRAY_HOTKEY: {
            Note("TrayIn hotkey on " + name);
            int id = LowestFreeId();
            if (!(err = Hotkey(s, kTrayInMods, kTrayInVk)).empty())
                return err;
            if (!WaitHidden(s))
                return "the TrayIn hotkey did not hide " + name;
            s.state = HIDDEN;
            s.id = id;
            return "";
        }
        case OP_UNTRAY_HOTKEY:
            Note("TrayIn hotkey on the shown " + name);
            if (!(err = Hotkey(s, kTrayInMods, kTrayInVk)).empty())
                return err;
            if (!WaitNoIcon(s.id))
                return "the TrayIn hotkey left the icon of " + name;
            s.state = UNTRAYED;
            s.id = 0;
            return "";
        case OP_MINIMIZE_HOTKEY:
        case OP_OWN_MINIMIZE:
            if (op == OP_MINIMIZE_HOTKEY) {
                Note("Minimize hotkey on the shown " + name);
                if (!(err = Hotkey(s, kMinimizeMods, kMinimizeVk)).empty())
                    return err;
            } else {
                Note("minimize button of the shown " + name);
                PostMessageA(s.w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            }
            if (!WaitHidden(s))
                return "minimized, but " + name + " was not hidden";
            s.state = HIDDEN;
            return "";
        case OP_DOUBLE_CLICK:
            Note("double-click on the icon of " + name + std::string(s.state == SHOWN ? " (shown)" : ""));
            PostMessageA(zw, MSG_TRAY_WINDOW, (WPARAM)s.id, WM_LBUTTONDBLCLK);
            if (!WaitShown(s))
                return "the double-click did not show " + name;
            s.state = SHOWN;
            return "";
        case OP_TRAY_MENU: {
            // Items: dead windows first (no process name), then by process
            // name regardless of case, then by title; the chosen one is shown.
            std::vector<std::pair<std::string, Slot *>> items;
            for (Slot &t : slots)
                if (t.Trayed())
                    items.push_back({std::string(t.notepad ? "notepad.exe" : "testwin.exe") + '\0' + TitleOf(t.w), &t});
            std::sort(items.begin(), items.end(), [](const auto &a, const auto &b) {
                return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                                    [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
            });
            int at = (int)stale.size();
            for (size_t i = 0; i < items.size(); i++)
                if (items[i].second == &s)
                    at += (int)i;
            bool cancel = std::uniform_int_distribution<int>(0, 5)(rng) == 0;
            Note("tray menu: item " + std::to_string(at) + " of " + std::to_string(items.size() + stale.size()) +
                 ", " + name + (cancel ? ", cancelled" : ""));
            staleMayGo = true;
            if (!(err = UseMenu(MSG_TRAY_MAIN, 1, Down(at + 1, cancel ? VK_ESCAPE : VK_RETURN))).empty())
                return err;
            if (cancel)
                return "";
            if (!WaitShown(s))
                return "the tray menu's item did not show " + name;
            s.state = SHOWN;
            return "";
        }
        case OP_WINDOW_MENU: {
            enum { RESTORE, MINIMIZE, TOPMOST, CLOSE_IT, UNTRAY, CANCEL };
            static const char *const what[] = {"restore", "minimize", "always on top", "close", "take out",
                                               "cancel"};
            int choice;
            do
                choice = std::uniform_int_distribution<int>(RESTORE, CANCEL)(rng);
            while ((choice == RESTORE && s.state != HIDDEN) || (choice == MINIMIZE && s.state != SHOWN));
            Note("window menu of " + name + " (" + kStateNames[s.state] + "): " + what[choice]);
            // Restore, minimize, -, always on top, -, close, -, take out of Zarn.
            static const int downs[] = {1, 2, 3, 4};
            std::vector<UINT> keys = choice == UNTRAY ? std::vector<UINT>{VK_UP, VK_RETURN}
                                     : choice == CANCEL ? std::vector<UINT>{VK_DOWN, VK_ESCAPE}
                                                        : Down(downs[choice], VK_RETURN);
            if (!(err = UseMenu(MSG_TRAY_WINDOW, s.id, keys)).empty())
                return err;
            switch (choice) {
            case RESTORE:
                if (!WaitShown(s))
                    return "'restore' did not show " + name;
                s.state = SHOWN;
                break;
            case MINIMIZE:
                if (!WaitHidden(s))
                    return "'minimize' did not hide " + name;
                s.state = HIDDEN;
                break;
            case TOPMOST:
                s.topmost = !s.topmost;
                if (!WaitUntil([&] { return IsTopMost(s.w) == s.topmost; }, kWait))
                    return "'always on top' did not change " + name;
                break;
            case CLOSE_IT:
                if (s.proc.Wait(kWait) == STILL_ACTIVE)
                    return "'close' did not end " + name;
                Gone(s);
                break;
            case UNTRAY:
                if (!WaitShown(s))
                    return "'take out' did not show " + name;
                s.state = UNTRAYED;
                s.id = 0;
                break;
            }
            return "";
        }
        case OP_DEAD_ICON: {
            auto it = stale.begin();
            std::advance(it, std::uniform_int_distribution<size_t>(0, stale.size() - 1)(rng));
            int id = it->first;
            bool menu = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
            Note(std::string(menu ? "right-click" : "double-click") + " on the dead icon #" + std::to_string(id));
            if (menu) {
                if (!(err = UseMenu(MSG_TRAY_WINDOW, id, {VK_ESCAPE})).empty())
                    return err;
            } else {
                PostMessageA(zw, MSG_TRAY_WINDOW, (WPARAM)id, WM_LBUTTONDBLCLK);
            }
            if (!WaitNoIcon(id))
                return "the dead window's icon #" + std::to_string(id) + " stayed";
            stale.erase(id);
            return "";
        }
        case OP_CLOSE:
            Note("close " + name + " (" + kStateNames[s.state] + ")");
            PostMessageA(s.w, WM_CLOSE, 0, 0);
            if (s.proc.Wait(kWait) == STILL_ACTIVE)
                return name + " did not end on WM_CLOSE";
            Gone(s);
            return "";
        case OP_KILL:
            Note("kill " + name + " (" + kStateNames[s.state] + ")");
            if (s.Trayed())
                stale[s.id] = TitleOf(s.w);   // no report comes: its icon stays until looked up
            s.proc.Kill();
            Gone(s);
            return "";
        case OP_START:
            Note("start " + name);
            return StartProgram(s);
        case OP_RETITLE: {
            Note("retitle " + name + " to n " + std::to_string(s.titleNo + 1));
            DWORD_PTR r;
            SendMessageTimeoutA(s.w, TW_SETTITLE, ++s.titleNo, 0, SMTO_NORMAL, kWait, &r);
            return "";
        }
        case OP_REICON: {
            int kind = std::uniform_int_distribution<int>(0, 2)(rng);   // own small, small none, big
            Note("new icon for " + name + " (kind " + std::to_string(kind) + ")");
            HICON before = s.Trayed() ? ImageOf(s.id) : nullptr;
            DWORD_PTR r;
            SendMessageTimeoutA(s.w, TW_SETICON, (WPARAM)kind, 0, SMTO_NORMAL, kWait, &r);
            if (s.Trayed() && kind != 2) {
                if (!Flush())
                    return "Zarn did not handle a posted message within 10 s";
                HICON after = ImageOf(s.id);
                if (!after || after == before)
                    return "the icon of " + name + (after ? " was not renewed" : " went blank");
            }
            return "";
        }
        default:
            return "no such step";
        }
    }
};

TEST_F(Soak, RandomTrayingKeepsIconsRegistryAndWindowsInAgreement)
{
    for (Slot &s : slots) {
        std::string err = StartProgram(s);
        ASSERT_EQ("", err) << Context();
    }
    ASSERT_EQ("", Check()) << "before the first step; " << Context();

    printf("soak seed %u (ZARN_SOAK_SEED=%u repeats this run)\n", seed, seed);
    int steps = (int)EnvNumber("ZARN_SOAK_STEPS", kDefaultSteps);
    DWORD started = GetTickCount();
    int mostTrayed = 0;
    for (step = 1; step <= steps; step++) {
        std::string err = RunStep();
        ASSERT_EQ("", err) << Context();
        err = Check();
        ASSERT_EQ("", err) << "after the step; " << Context();
        int trayed = 0;
        for (const Slot &s : slots)
            trayed += s.Trayed();
        mostTrayed = std::max(mostTrayed, trayed);
    }
    printf("%d steps in %lu ms, at most %d windows trayed at once; steps of each kind:", steps,
           GetTickCount() - started, mostTrayed);
    for (int op = 0; op < OP_COUNT; op++)
        printf(" %d", opCount[op]);
    printf("\n");

    // Ending Zarn gives every window back.
    EXPECT_EQ(0u, zarn.Close(kWait)) << Context();
    for (Slot &s : slots) {
        if (s.state == GONE)
            continue;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(s.w) != 0; }, kWait))
            << s.Name() << " still hidden after Zarn ended; " << Context();
        EXPECT_EQ(s.topmost, IsTopMost(s.w)) << s.Name();
    }
}

// A program that gives its window a new small icon hands Zarn its own icon
// handle, which the shell cannot read from Zarn's process under Wine; the
// notification icon must not go blank.
TEST_F(Soak, NewIconOfATrayedWindowKeepsItsNotificationIconDrawn)
{
    Slot &s = slots[0];
    ASSERT_EQ("", StartProgram(s));
    ASSERT_EQ("", Do(OP_TRAY_HOTKEY, &s));
    ASSERT_EQ("", Check()) << Context();
    for (int kind : {0, 1, 0}) {
        HICON before = ImageOf(s.id);
        DWORD_PTR r;
        SendMessageTimeoutA(s.w, TW_SETICON, (WPARAM)kind, 0, SMTO_NORMAL, kWait, &r);
        ASSERT_TRUE(Flush());
        HICON after = ImageOf(s.id);
        EXPECT_NE(nullptr, after) << "kind " << kind;
        EXPECT_NE(before, after) << "kind " << kind;
    }
    EXPECT_EQ("", Check()) << Context();
    EXPECT_EQ(0u, zarn.Close(kWait));
}

}  // namespace
