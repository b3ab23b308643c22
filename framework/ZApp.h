/*
 * CWinApp: the application object. The program defines one global object
 * of a class derived from CWinApp; the framework's WinMain finds it, runs
 * its InitInstance, and then its message loop only when InitInstance
 * returns TRUE.
 */
#ifndef ZARN_FRAMEWORK_ZAPP_H
#define ZARN_FRAMEWORK_ZAPP_H
#include "ZWnd.h"

#define ID_HELP 0xE146   /* the Help command */

class CWinApp : public CCmdTarget {
public:
    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance;
    LPSTR m_lpCmdLine;
    int m_nCmdShow;
    CWnd *m_pMainWnd;

    /* Registers this object as the program's application. */
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    /* The message loop; returns ExitInstance's result. */
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }

    /* The old three-dimensional control look is what every control has
       now; kept so that the usual start-up reads as it always did. */
    BOOL Enable3dControlsStatic() { return TRUE; }
    /* The Help command. Zarninst ships no help file, so there is nothing
       to open and the command passes quietly. */
    void OnHelp() {}

protected:
    int m_exitCode;
};

CWinApp *AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
/* What WinMain does: used by the framework's WinMain and by tests. */
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

#endif
