#include "InProcess.h"
#include "Main.h"
#include "Registry.h"
#include "Menus.h"
#include "Notify.h"
#include "ZarnMsg.h"

NotifyRecorder g_notify;

BOOL NotifyShell(DWORD message, NOTIFYICONDATAA *data)
{
    NotifyCall c{};
    c.message = message;
    c.cbSize = data->cbSize;
    memcpy(&c.data, data, data->cbSize <= sizeof c.data ? data->cbSize : sizeof c.data);
    g_notify.calls.push_back(c);
    if (g_notify.refuseAll)
        return FALSE;
    if (g_notify.refuseNext > 0) {
        g_notify.refuseNext--;
        return FALSE;
    }
    return TRUE;
}

std::vector<NotifyCall> NotifyRecorder::Of(DWORD message) const
{
    std::vector<NotifyCall> out;
    for (auto &c : calls)
        if (c.message == message)
            out.push_back(c);
    return out;
}

void ZarnInProcess::SetUp()
{
    g_notify = NotifyRecorder();
    ASSERT_EQ(1, BindHookLibrary());
    int code = 1;
    main = CreateMainWindow(GetModuleHandleA(NULL), &code);
    ASSERT_NE(nullptr, main) << "exit code " << code;
    LoadTrayMenus(GetModuleHandleA(NULL));
    RegisterTaskbarCreated();
}

void ZarnInProcess::CloseMain()
{
    if (main && IsWindow(main))
        SendMessageA(main, WM_CLOSE, 0, 0);
    MSG msg;   /* drop the quit message the window posted */
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
}

void ZarnInProcess::TearDown()
{
    CloseMain();
    TearDownZarn(main);
    UnregisterClassA(ZARN_CLASS_NAME, GetModuleHandleA(NULL));
}
