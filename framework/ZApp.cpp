/*
 * The application object and the program's start-up.
 */
#include "ZApp.h"
#include <commctrl.h>

static CWinApp *g_app;

CWinApp *AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle()
{
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleA(NULL);
}

CWinApp::CWinApp(LPCSTR appName)
    : m_pszAppName(appName), m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL),
      m_pMainWnd(nullptr), m_exitCode(0)
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    m_exitCode = (int)msg.wParam;
    return ExitInstance();
}

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    CWinApp *app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = show;

    /* Dialog templates name the common controls by class. */
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
