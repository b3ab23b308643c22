/*
 * Modal dialogs. The dialog manager creates the window; at WM_INITDIALOG
 * the object subclasses it, so every later message passes the message map
 * first and reaches the dialog manager only when the map leaves it.
 */
#include "ZDialog.h"
#include "ZApp.h"

void DDX_Control(CDataExchange *pDX, int id, CWnd &control)
{
    if (control.m_hWnd)
        return;
    HWND item = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
    if (item)
        control.SubclassWindow(item);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    {WM_INITDIALOG, 0, 0, [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT {
        return static_cast<CDialog *>(t)->OnInitDialog(); }},
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd *parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal()
{
    /* Without a parent the dialog is owned by the main window, as any
       second dialog of the program should be. */
    HWND owner = NULL;
    if (m_pParentWnd) {
        owner = m_pParentWnd->m_hWnd;
    } else {
        CWinApp *app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this)
            owner = app->m_pMainWnd->m_hWnd;
    }
    return DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                           (LPARAM)this);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    /* Only the first WM_INITDIALOG is ours to take: after subclassing, the
       dialog manager calls back here for what the map left, and the
       answer is always "not handled". */
    if (message != WM_INITDIALOG || FromHandlePermanent(hwnd))
        return FALSE;
    CDialog *dialog = (CDialog *)lParam;
    if (!dialog->SubclassWindow(hwnd))
        return FALSE;
    return StandardWindowProc(hwnd, message, wParam, lParam);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT id, int code)
{
    if (CWnd::OnCmdMsg(id, code))
        return TRUE;
    CWinApp *app = AfxGetApp();
    return app && app->OnCmdMsg(id, code);
}
