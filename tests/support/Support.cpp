#include "Support.h"
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include "testwin.h"

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

std::string BinPath(const char *file) { return BinDir() + file; }

std::string MakeTempDir(const char *tag)
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter;
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%szarn-%s-%lu-%u\\", base, tag, GetCurrentProcessId(), counter++);
        if (CreateDirectoryA(dir, NULL))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "";
    }
}

void RemoveTree(const std::string &dir)
{
    if (dir.empty())
        return;
    std::string from = dir;
    if (from.back() == '\\')
        from.pop_back();
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool WriteTextFile(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

std::string ReadTextFile(const std::string &path)
{
    std::string s;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return pred();
        PumpFor(20);
    }
}

bool Poll(const std::function<bool()> &pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(1);
    }
    return true;
}

bool Process::Start(const std::string &commandLine, const char *dir)
{
    Kill();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back(0);
    if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, dir, &si, &pi)) {
        pi = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

bool Process::Running() const
{
    return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Process::Wait(DWORD timeoutMs)
{
    if (!pi.hProcess)
        return (DWORD)-1;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start >= timeoutMs)
            return STILL_ACTIVE;
        PumpFor(10);   /* the process may be sending to our windows */
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

void Process::Kill()
{
    if (!pi.hProcess)
        return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = PROCESS_INFORMATION{};
}

void KillProcessId(DWORD pid, UINT exitCode)
{
    HANDLE h = pid ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : NULL;
    if (!h)
        return;
    TerminateProcess(h, exitCode);
    WaitForSingleObject(h, 5000);
    CloseHandle(h);
}

void KillWindowProcess(HWND hwnd, UINT exitCode)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    KillProcessId(pid, exitCode);
}

struct FindArgs {
    DWORD pid;
    const char *cls;
    bool visibleOnly;
    HWND found;
};

static BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp)
{
    FindArgs *a = (FindArgs *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != a->pid)
        return TRUE;
    if (a->visibleOnly && !IsWindowVisible(hwnd))
        return TRUE;
    if (a->cls) {
        char cls[256];
        if (!GetClassNameA(hwnd, cls, sizeof cls) || lstrcmpiA(cls, a->cls) != 0)
            return TRUE;
    }
    a->found = hwnd;
    return FALSE;
}

HWND FindProcessWindow(DWORD pid, const char *className, bool visibleOnly)
{
    FindArgs a{pid, className, visibleOnly, nullptr};
    EnumWindows(FindProc, (LPARAM)&a);
    return a.found;
}

HWND WaitForProcessWindow(DWORD pid, const char *className, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(pid, className)) != nullptr; }, timeoutMs);
    return found;
}

bool TestWindow::Start(const std::string &options, bool withLog, bool noIcon)
{
    std::string cmd = "\"" + BinPath(noIcon ? "testwin_noicon.exe" : "testwin.exe") + "\" " + options;
    if (withLog) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        static unsigned counter;
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%stestwin-%lu-%u.log", base, GetCurrentProcessId(), counter++);
        log = name;
        DeleteFileA(log.c_str());
        cmd += " \"/log=" + log + "\"";
    }
    if (!proc.Start(cmd))
        return false;
    hwnd = WaitForProcessWindow(proc.Pid(), TESTWIN_CLASS);
    if (hwnd && withLog)   /* the window exists once "ready" is logged */
        WaitUntil([&] { return Log().find("ready") != std::string::npos; }, 5000);
    return hwnd != nullptr;
}

static bool CopyBeside(const std::string &dir, const char *file)
{
    return CopyFileA(BinPath(file).c_str(), (dir + file).c_str(), FALSE) != 0;
}

ZarnSandbox::ZarnSandbox() : dir(MakeTempDir("sandbox")) {}

ZarnSandbox::~ZarnSandbox()
{
    if (proc.Running())
        Close(5000);
    proc.Kill();
    RemoveTree(dir);
}

bool ZarnSandbox::WriteIni(const std::string &text) { return WriteTextFile(dir + "zarn.ini", text); }

bool ZarnSandbox::Start(const std::string &args, bool withDll)
{
    if (!CopyBeside(dir, "zarn.exe"))
        return false;
    if (withDll && !CopyBeside(dir, "ZarnDLL.DLL"))
        return false;
    return proc.Start("\"" + Exe() + "\"" + (args.empty() ? "" : " " + args), dir.c_str());
}

HWND ZarnSandbox::WaitWindow(DWORD timeoutMs)
{
    return WaitForProcessWindow(proc.Pid(), "ZarnCLASS2", timeoutMs);
}

DWORD ZarnSandbox::Close(DWORD timeoutMs)
{
    HWND w = FindProcessWindow(proc.Pid(), "ZarnCLASS2");
    if (w)
        PostMessageA(w, WM_CLOSE, 0, 0);
    return proc.Wait(timeoutMs);
}

HWND FindZarnWindow() { return FindWindowA("ZarnCLASS2", NULL); }

void PressKey(UINT modifiers, UINT vk)
{
    INPUT in[10];
    int n = 0;
    UINT mods[4][2] = {{MOD_CONTROL, VK_CONTROL}, {MOD_ALT, VK_MENU}, {MOD_SHIFT, VK_SHIFT}, {MOD_WIN, VK_LWIN}};
    auto key = [&](UINT v, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = (WORD)v;
        i.ki.wScan = (WORD)MapVirtualKeyA(v, MAPVK_VK_TO_VSC);
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in[n++] = i;
    };
    for (auto &m : mods)
        if (modifiers & m[0])
            key(m[1], false);
    key(vk, false);
    key(vk, true);
    for (int i = 3; i >= 0; i--)
        if (modifiers & mods[i][0])
            key(mods[i][1], true);
    SendInput(n, in, sizeof(INPUT));
    PumpFor(50);
}

bool FocusWindow(HWND hwnd)
{
    DWORD self = GetCurrentThreadId();
    DWORD other = GetWindowThreadProcessId(hwnd, NULL);
    AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    SetFocus(hwnd);
    AttachThreadInput(self, other, FALSE);
    return WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000);
}
