/*
 * Helpers shared by the test programs: paths beside the test binary,
 * starting and ending processes, waiting while pumping messages, finding a
 * process's window, a sandbox folder with a real zarn.exe, and key presses.
 */
#ifndef ZARN_TEST_SUPPORT_H
#define ZARN_TEST_SUPPORT_H
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

/* Folder of the running test program (build/x64/bin), with a trailing '\'. */
std::string BinDir();
std::string BinPath(const char *file);
/* A fresh empty folder under %TEMP%, removed by the caller (RemoveTree). */
std::string MakeTempDir(const char *tag);
void RemoveTree(const std::string &dir);
bool WriteTextFile(const std::string &path, const std::string &text);
std::string ReadTextFile(const std::string &path);

/* Pumps this thread's messages while waiting; true once pred holds. */
bool WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs = 10000);
void PumpFor(DWORD ms);
/* As WaitUntil, but looks every millisecond: for timings. */
bool Poll(const std::function<bool()> &pred, DWORD timeoutMs = 10000);

/* A started process; the destructor ends it if it still runs (a program
   left running under Wine keeps the test runner waiting). */
struct Process {
    PROCESS_INFORMATION pi{};
    Process() = default;
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    ~Process() { Kill(); }
    bool Start(const std::string &commandLine, const char *dir = nullptr);
    bool Running() const;
    DWORD Wait(DWORD timeoutMs = 10000);   /* exit code, or STILL_ACTIVE */
    void Kill();
    DWORD Pid() const { return pi.dwProcessId; }
};

/* Ends a process not started through Process (by id, or by one of its windows). */
void KillProcessId(DWORD pid, UINT exitCode = 1);
void KillWindowProcess(HWND hwnd, UINT exitCode = 1);

/* First top-level window of that process (optionally of that class). */
HWND FindProcessWindow(DWORD pid, const char *className = nullptr, bool visibleOnly = false);
HWND WaitForProcessWindow(DWORD pid, const char *className = nullptr, DWORD timeoutMs = 10000);

/* The test-window program, started with options, and its main window. */
struct TestWindow {
    Process proc;
    HWND hwnd = nullptr;
    std::string log;   /* its message log file, when started with logging */
    bool Start(const std::string &options = "", bool withLog = false, bool noIcon = false);
    std::string Log() const { return ReadTextFile(log); }
};

/* A real zarn.exe in a fresh folder, with ZarnDLL.DLL and an optional INI. */
struct ZarnSandbox {
    std::string dir;
    Process proc;
    ZarnSandbox();
    ~ZarnSandbox();
    bool WriteIni(const std::string &text);
    bool Start(const std::string &args = "", bool withDll = true);
    HWND WaitWindow(DWORD timeoutMs = 10000);   /* its "ZarnCLASS2" window */
    DWORD Close(DWORD timeoutMs = 10000);       /* WM_CLOSE, then the exit code */
    std::string Exe() const { return dir + "zarn.exe"; }
};

/* A Zarn window of some other process that is still around, if any. */
HWND FindZarnWindow();

/* Real key presses through SendInput: modifiers down, key, modifiers up. */
void PressKey(UINT modifiers, UINT vk);

/* Brings a window to the foreground with its keyboard focus, as a click would. */
bool FocusWindow(HWND hwnd);

#endif
