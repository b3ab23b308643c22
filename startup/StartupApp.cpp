/* Zarninst's application object: the dialog is the whole program. */
#include "StartupApp.h"
#include "StartupDialog.h"

BEGIN_MESSAGE_MAP(StartupManagerApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

StartupManagerApp theApp;

BOOL StartupManagerApp::InitInstance()
{
    Enable3dControlsStatic();
    StartupDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    /* No message loop follows: the program ends with its dialog. */
    return FALSE;
}
