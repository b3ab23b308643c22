/* Zarninst's application: runs the Startup list dialog and ends with it. */
#ifndef ZARN_STARTUP_STARTUPAPP_H
#define ZARN_STARTUP_STARTUPAPP_H
#include "ZFramework.h"

class StartupManagerApp : public CWinApp {
public:
    StartupManagerApp() {}
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern StartupManagerApp theApp;

#endif
