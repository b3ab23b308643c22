/*
 * CDialog (modal, from a dialog template in the program's resources),
 * dialog data exchange and DDX_Control.
 */
#ifndef ZARN_FRAMEWORK_ZDIALOG_H
#define ZARN_FRAMEWORK_ZDIALOG_H
#include "ZWnd.h"

/* One exchange between a dialog's controls and its members. */
class CDataExchange {
public:
    BOOL m_bSaveAndValidate;   /* TRUE: controls to members */
    CWnd *m_pDlgWnd;

    CDataExchange(CWnd *dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
};

/* Binds control to the dialog's control id, once: a bound object keeps
   its window through later exchanges. A missing id leaves it unbound. */
void DDX_Control(CDataExchange *pDX, int id, CWnd &control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd *parent = nullptr);

    /* Runs the dialog until EndDialog; its result, or -1 when the dialog
       could not be created. */
    virtual INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }
    /* DoDataExchange in the given direction. */
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    /* Commands that the dialog's own map leaves go on to the application. */
    BOOL OnCmdMsg(UINT id, int code) override;

protected:
    UINT m_nIDTemplate;
    CWnd *m_pParentWnd;

    virtual void DoDataExchange(CDataExchange *pDX) {}
    /* WM_INITDIALOG: binds the controls (UpdateData(FALSE)); TRUE lets the
       dialog manager set the focus. */
    virtual BOOL OnInitDialog();
    /* IDOK: takes the controls' data and ends with IDOK. */
    virtual void OnOK();
    /* IDCANCEL: ends with IDCANCEL. */
    virtual void OnCancel();

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

#endif
