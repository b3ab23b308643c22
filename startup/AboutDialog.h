/* Zarninst's about box, opened from the main dialog's system menu. */
#ifndef ZARN_STARTUP_ABOUTDIALOG_H
#define ZARN_STARTUP_ABOUTDIALOG_H
#include "ZFramework.h"
#include "resource.h"

class AboutDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    AboutDialog() : CDialog(IDD) {}

protected:
    void DoDataExchange(CDataExchange *pDX) override;

    DECLARE_MESSAGE_MAP()
};

#endif
