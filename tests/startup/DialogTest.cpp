// Zarninst's dialog in the test's own process, where its system menu can
// be read (another process's menus cannot be read under Wine): the about
// item after a separator at the end, the about box it opens, and the icons.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "StartupDialog.h"

namespace {

class TestApp : public CWinApp {};

HWND FindOwnWindow(const wchar_t *title)
{
    struct Search {
        const wchar_t *title;
        HWND found;
    } s{title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM lp) -> BOOL {
        Search *s = (Search *)lp;
        wchar_t text[128] = L"";
        GetWindowTextW(w, text, 128);
        if (wcscmp(text, s->title))
            return TRUE;
        s->found = w;
        return FALSE;
    }, (LPARAM)&s);
    return s.found;
}

// Drives the modal dialogs from a thread timer, which every modal loop of
// this thread dispatches.
struct Script {
    int step = 0;
    int ticks = 0;
    HWND dlg = nullptr, about = nullptr;
    std::wstring lastItem;
    bool separatorBefore = false;
    UINT lastId = 0;
    bool ownedByDialog = false, dialogDisabled = false;
    HICON bigIcon = nullptr, smallIcon = nullptr, dragIcon = nullptr;
} g_script;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Script &s = g_script;
    if (++s.ticks > 400) {   // 20 s: give up and end whatever is open
        if (s.about)
            EndDialog(s.about, IDCANCEL);
        if (s.dlg)
            EndDialog(s.dlg, IDCANCEL);
        return;
    }
    switch (s.step) {
    case 0: {
        s.dlg = FindOwnWindow(L"Zarninst");
        if (!s.dlg || !IsWindowVisible(s.dlg))
            return;
        HMENU menu = GetSystemMenu(s.dlg, FALSE);
        int n = GetMenuItemCount(menu);
        if (n >= 2) {
            s.lastId = GetMenuItemID(menu, n - 1);
            wchar_t text[128] = L"";
            GetMenuStringW(menu, n - 1, text, 128, MF_BYPOSITION);
            s.lastItem = text;
            s.separatorBefore = (GetMenuState(menu, n - 2, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        }
        s.bigIcon = (HICON)SendMessageA(s.dlg, WM_GETICON, ICON_BIG, 0);
        s.smallIcon = (HICON)SendMessageA(s.dlg, WM_GETICON, ICON_SMALL, 0);
        s.dragIcon = (HICON)SendMessageA(s.dlg, WM_QUERYDRAGICON, 0, 0);
        PostMessageA(s.dlg, WM_SYSCOMMAND, s.lastId, 0);   // as choosing the item does
        s.step = 1;
        return;
    }
    case 1:
        s.about = FindOwnWindow(L"Zarninstのﾊﾞｰｼﾞｮﾝ情報");
        if (!s.about || !IsWindowVisible(s.about))
            return;
        s.ownedByDialog = GetWindow(s.about, GW_OWNER) == s.dlg;
        s.dialogDisabled = !IsWindowEnabled(s.dlg);
        PostMessageA(s.about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(s.about, IDOK));
        s.step = 2;
        return;
    case 2:
        if (IsWindow(s.about))
            return;
        s.about = nullptr;
        PostMessageA(s.dlg, WM_CLOSE, 0, 0);
        s.step = 3;
        return;
    }
}

}  // namespace

TEST(StartupDialogInProcess, SystemMenuEndsWithTheAboutItemThatOpensTheAboutBox)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    TestApp app;
    StartupDialog dialog;
    app.m_pMainWnd = &dialog;

    UINT_PTR timer = SetTimer(NULL, 0, 50, Tick);
    INT_PTR result = dialog.DoModal();
    KillTimer(NULL, timer);

    EXPECT_EQ(IDCANCEL, result) << "closed by WM_CLOSE";
    EXPECT_EQ(3, g_script.step);
    EXPECT_EQ(16u, g_script.lastId);
    EXPECT_EQ(L"Zarninst のﾊﾞｰｼﾞｮﾝ情報(&A)...", g_script.lastItem);
    EXPECT_TRUE(g_script.separatorBefore);
    EXPECT_TRUE(g_script.ownedByDialog);
    EXPECT_TRUE(g_script.dialogDisabled) << "the about box is modal to the dialog";

    HICON own = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(128));
    EXPECT_EQ(own, g_script.bigIcon);
    EXPECT_EQ(own, g_script.smallIcon);
    EXPECT_EQ(own, g_script.dragIcon);
}
