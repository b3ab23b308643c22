// The framework layer's own logic: message-map lookup along the class
// chain, the default processing behind a handler, command routing to the
// application, dialog data exchange and the end of a modal dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "ZFramework.h"

namespace {

const UINT IDD_PROBE = 200;
const int IDC_BUTTON = 1005;
const int IDC_MISSING = 1099;
const HCURSOR DRAG_ICON = (HCURSOR)(INT_PTR)0x1234;

std::vector<std::string> g_log;

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_PROBE) {}
    std::function<void(ProbeDialog *)> onInit;   // runs inside WM_INITDIALOG
    CWnd m_button, m_missing;
    int exchanges = 0;
    BOOL lastDirection = -1;

protected:
    void DoDataExchange(CDataExchange *pDX) override
    {
        exchanges++;
        lastDirection = pDX->m_bSaveAndValidate;
        DDX_Control(pDX, IDC_BUTTON, m_button);
        DDX_Control(pDX, IDC_MISSING, m_missing);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit(this);
        return TRUE;
    }
    void OnCancel() override
    {
        g_log.push_back("cancel");
        CDialog::OnCancel();
    }
    void OnButton() { g_log.push_back("button"); }
    void OnClose()
    {
        // a message to itself while handling one: Default must still see WM_CLOSE
        g_log.push_back("close:" + std::to_string((INT_PTR)SendMessage(WM_QUERYDRAGICON)));
        CDialog::OnClose();
    }
    HCURSOR OnQueryDragIcon() { return DRAG_ICON; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_BN_CLICKED(IDC_BUTTON, &ProbeDialog::OnButton)
    ON_WM_CLOSE()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

// Maps the button again and nothing else.
class DerivedProbe : public ProbeDialog {
protected:
    void OnButtonAgain() { g_log.push_back("derived button"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedProbe, ProbeDialog)
    ON_BN_CLICKED(IDC_BUTTON, &DerivedProbe::OnButtonAgain)
END_MESSAGE_MAP()

class ProbeApp : public CWinApp {
public:
    void OnAppCommand() { g_log.push_back("app"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
    ON_COMMAND(ID_HELP, &ProbeApp::OnAppCommand)
END_MESSAGE_MAP()

LRESULT Command(HWND dlg, int id, int code = BN_CLICKED)
{
    return SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(dlg, id));
}

class Framework : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
};

}  // namespace

TEST_F(Framework, MostDerivedMapEntryWinsAndBaseEntriesStillServe)
{
    ProbeDialog base;
    base.onInit = [](ProbeDialog *d) {
        Command(d->m_hWnd, IDC_BUTTON);
        Command(d->m_hWnd, IDC_BUTTON, BN_DOUBLECLICKED);   // another code: not mapped
        d->PostMessage(WM_CLOSE);
    };
    EXPECT_EQ(IDCANCEL, base.DoModal());
    EXPECT_EQ((std::vector<std::string>{"button", "close:4660", "cancel"}), g_log);

    g_log.clear();
    DerivedProbe derived;
    derived.onInit = [](ProbeDialog *d) {
        Command(d->m_hWnd, IDC_BUTTON);
        EXPECT_EQ((LRESULT)DRAG_ICON, d->SendMessage(WM_QUERYDRAGICON));   // from the base's map
        d->PostMessage(WM_CLOSE);
    };
    EXPECT_EQ(IDCANCEL, derived.DoModal());
    EXPECT_EQ((std::vector<std::string>{"derived button", "close:4660", "cancel"}), g_log);
}

TEST_F(Framework, DefaultEndingsOfTheDialog)
{
    struct Case {
        const char *name;
        std::function<void(HWND)> act;
        INT_PTR result;
        std::vector<std::string> log;
    } cases[] = {
        {"OK button", [](HWND d) { Command(d, IDOK); }, IDOK, {}},
        {"Escape", [](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL, {"cancel"}},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL,
         {"close:4660", "cancel"}},
        {"EndDialog", [](HWND d) { EndDialog(d, 42); }, 42, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        g_log.clear();
        ProbeDialog dlg;
        dlg.onInit = [&](ProbeDialog *d) { c.act(d->m_hWnd); };
        EXPECT_EQ(c.result, dlg.DoModal());
        EXPECT_EQ(c.log, g_log);
        EXPECT_EQ(nullptr, dlg.m_hWnd) << "detached when the window went";
        EXPECT_EQ(nullptr, dlg.m_button.m_hWnd);
    }
}

TEST_F(Framework, UnmappedCommandsGoOnToTheApplication)
{
    ProbeDialog dlg;
    dlg.onInit = [](ProbeDialog *d) {
        Command(d->m_hWnd, ID_HELP, 0);   // no application yet: dropped
        ProbeApp app;
        EXPECT_EQ(&app, AfxGetApp());
        Command(d->m_hWnd, ID_HELP, 0);
        Command(d->m_hWnd, IDC_BUTTON);   // the dialog's own map comes first
        d->EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_EQ((std::vector<std::string>{"app", "button"}), g_log);
    EXPECT_EQ(nullptr, AfxGetApp());
}

TEST_F(Framework, ControlsAreBoundOnceAndFollowTheirWindows)
{
    ProbeDialog dlg;
    HWND button = nullptr;
    dlg.onInit = [&](ProbeDialog *d) {
        button = GetDlgItem(d->m_hWnd, IDC_BUTTON);
        EXPECT_EQ(1, d->exchanges);
        EXPECT_FALSE(d->lastDirection) << "OnInitDialog fills the controls";
        EXPECT_EQ(button, d->m_button.m_hWnd);
        EXPECT_EQ(&d->m_button, CWnd::FromHandlePermanent(button)) << "the control's messages pass its object";
        EXPECT_EQ(nullptr, d->m_missing.m_hWnd);
        EXPECT_EQ(d, CWnd::FromHandlePermanent(d->m_hWnd));

        // the button still works through its subclassed procedure
        EXPECT_TRUE(SetWindowTextA(button, "pressed"));
        char text[32] = "";
        GetWindowTextA(button, text, sizeof text);
        EXPECT_STREQ("pressed", text);

        d->UpdateData(TRUE);
        EXPECT_EQ(2, d->exchanges);
        EXPECT_TRUE(d->lastDirection);
        EXPECT_EQ(button, d->m_button.m_hWnd);
        Command(d->m_hWnd, IDOK);   // OnOK takes the data once more
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(3, dlg.exchanges);
    EXPECT_TRUE(dlg.lastDirection);
    EXPECT_EQ(nullptr, dlg.m_button.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(button));
}

TEST_F(Framework, MissingTemplateFailsTheDialog)
{
    CDialog dlg(4242);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}
