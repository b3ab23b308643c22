/*
 * Zarninst's main dialog: the shortcuts of the common and the user's
 * Startup folders, each with a check box that is set when the shortcut
 * starts its program through Zarn. "適用" wraps or unwraps the shortcuts
 * whose check box was changed and reads the folders again.
 */
#ifndef ZARN_STARTUP_STARTUPDIALOG_H
#define ZARN_STARTUP_STARTUPDIALOG_H
#include "ZFramework.h"
#include "resource.h"

/* Both folders together list at most this many shortcuts. */
#define STARTUP_MAX_SHORTCUTS 100

class StartupDialog : public CDialog {
public:
    enum { IDD = IDD_ZARNINST_DIALOG };
    explicit StartupDialog(CWnd *parent = nullptr);

protected:
    CListCtrl m_list;
    HICON m_hIcon;

    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    /* Applies the check boxes; never ends the dialog. */
    void OnOK() override;

    /* Reads both Startup folders into the list and a new image list. */
    void FillList();
    /* Frees every item's record and empties the list. */
    void ClearList();

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose();

    DECLARE_MESSAGE_MAP()
};

#endif
