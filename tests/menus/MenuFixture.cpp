#include <string.h>
#include "MenuFixture.h"
#include "Actions.h"
#include "Registry.h"
#include "testwin.h"

NamedWindow::~NamedWindow()
{
    proc.Kill();
    if (!dir.empty())
        RemoveTree(dir);
    if (!log.empty())
        DeleteFileA(log.c_str());
}

int NamedWindow::Restores() const
{
    std::string text = ReadTextFile(log);
    int n = 0;
    for (size_t at = 0; (at = text.find("size 0", at)) != std::string::npos; at++)
        if (at + 6 == text.size() || text[at + 6] == '\r' || text[at + 6] == '\n')
            n++;
    return n;
}

void MenuTest::TearDown()
{
    ZarnInProcess::TearDown();
    windows.clear();
}

HWND MenuTest::Start(const std::string &exeName, const std::string &options)
{
    auto w = std::make_unique<NamedWindow>();
    std::string exe = BinPath("testwin.exe");
    if (!exeName.empty()) {
        w->dir = MakeTempDir("names");
        std::string copy = w->dir + exeName;
        if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE))
            return nullptr;
        exe = copy;
    }
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter;
    w->log = std::string(base) + "menus-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(counter++) + ".log";
    DeleteFileA(w->log.c_str());
    if (!w->proc.Start("\"" + exe + "\" " + options + " \"/log=" + w->log + "\""))
        return nullptr;
    w->hwnd = WaitForProcessWindow(w->proc.Pid(), TESTWIN_CLASS);
    HWND hwnd = w->hwnd;
    windows.push_back(std::move(w));
    if (hwnd && !strstr(options.c_str(), "/hidden"))
        WaitUntil([&] { return IsWindowVisible(hwnd) != 0; }, 5000);
    return hwnd;
}

int MenuTest::Tray(HWND w)
{
    if (!TrayInWindow(w))
        return 0;
    WaitUntil([&] { return !IsWindowVisible(w); }, 10000);
    return TrayFindId(w);
}

DWORD MenuTest::PidOf(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

NamedWindow *MenuTest::Of(HWND w)
{
    for (auto &n : windows)
        if (n->hwnd == w)
            return n.get();
    return nullptr;
}

bool MenuTest::WaitRestored(HWND w, int before)
{
    NamedWindow *n = Of(w);
    return n && WaitUntil([&] { return n->Restores() > before; });
}
