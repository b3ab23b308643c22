/*
 * In-process Zarn: the real modules, the real ZarnDLL and a real main
 * window, with the shell's notification call replaced by a recorder.
 */
#ifndef ZARN_TEST_INPROCESS_H
#define ZARN_TEST_INPROCESS_H
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAA data;   /* the first form, copied as sent */
    DWORD cbSize;
    std::string tip() const { return std::string(data.szTip); }
};

/* Every request NotifyShell got, in order; refuse makes it answer FALSE. */
struct NotifyRecorder {
    std::vector<NotifyCall> calls;
    int refuseAll = 0;       /* non-zero: every request fails */
    int refuseNext = 0;      /* that many requests fail, then success again */
    void Clear() { calls.clear(); }
    std::vector<NotifyCall> Of(DWORD message) const;
};
extern NotifyRecorder g_notify;

/* A fixture with Zarn's main window made by the real start-up steps. */
class ZarnInProcess : public ::testing::Test {
protected:
    HWND main = nullptr;
    void SetUp() override;
    void TearDown() override;
    /* Closes Zarn's window as WM_CLOSE would, so TearDown has nothing to do. */
    void CloseMain();
};

#endif
