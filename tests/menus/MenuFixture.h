// Zarn's window in this process plus test windows started under chosen
// program names, trayed the way the TrayIn hotkey does it.
#ifndef ZARN_TEST_MENUFIXTURE_H
#define ZARN_TEST_MENUFIXTURE_H
#include <memory>
#include <string>
#include <vector>
#include "InProcess.h"
#include "Support.h"
#include "MenuTestUtil.h"

struct NamedWindow {
    Process proc;
    HWND hwnd = nullptr;
    std::string dir;
    std::string log;   // testwin's message log
    ~NamedWindow();
    // How often the window was restored (WM_SIZE SIZE_RESTORED) so far.
    int Restores() const;
};

class MenuTest : public ZarnInProcess {
protected:
    std::vector<std::unique_ptr<NamedWindow>> windows;
    void TearDown() override;
    // testwin.exe copied as exeName (a fresh folder each) and started.
    HWND Start(const std::string &exeName, const std::string &options);
    // testwin.exe as it is.
    HWND Start(const std::string &options) { return Start("", options); }
    // TrayInWindow, then wait for the hook's report to hide it; the tray id.
    int Tray(HWND w);
    DWORD PidOf(HWND w);
    NamedWindow *Of(HWND w);
    // Waits until w has been restored once more than `before` times. A
    // restored trayed window may be hidden again right after (the hook
    // reports the activation of its minimized state), so the log is the proof.
    bool WaitRestored(HWND w, int before);
};

#endif
