/*
 * ZarnDLL: runs inside every trayed program. CallWndHookProc watches the
 * messages sent to the hooked thread's windows and reports icon, title,
 * destruction and minimization to Zarn's main window by window messages.
 * Only the target window crosses processes, through the ".shared" section.
 */
#define ZARNDLL_BUILD
#include "ZarnDLL.h"
#include "../ZarnMsg.h"

/* Zarn's main window, seen by every process that maps this library. */
__attribute__((section(".shared"), shared)) HWND volatile g_target = 0;

static HINSTANCE g_instance;

#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(HookBlock) == 8, "HookBlock is two 32-bit fields");
#endif

static LRESULT CALLBACK CallWndHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND target = g_target;
    if (code >= 0 && target) {
        const CWPSTRUCT *cwp = (const CWPSTRUCT *)lParam;
        switch (cwp->message) {
        case WM_SETICON:
            if (cwp->wParam == ICON_SMALL)
                PostMessageA(target, MSG_ICON_CHANGED, (WPARAM)cwp->hwnd, cwp->lParam);
            break;
        case WM_SETTEXT: {
            const char *text = (const char *)cwp->lParam;
            if (!GetParent(cwp->hwnd) && text && text[0]) {
                COPYDATASTRUCT cds;
                cds.dwData = COPYDATA_TITLE;
                cds.cbData = lstrlenA(text) + 1;
                cds.lpData = (void *)text;
                SendMessageA(target, WM_COPYDATA, (WPARAM)cwp->hwnd, (LPARAM)&cds);
            }
            break;
        }
        case WM_DESTROY:
            PostMessageA(target, MSG_WINDOW_DESTROYED, (WPARAM)cwp->hwnd, 0);
            break;
        case WM_SIZE:
            if (cwp->wParam == SIZE_MINIMIZED)
                PostMessageA(target, MSG_WINDOW_MINIMIZED, (WPARAM)cwp->hwnd, 0);
            break;
        case WM_SYSCOMMAND:
            if (cwp->wParam == SC_MINIMIZE)
                PostMessageA(target, MSG_WINDOW_MINIMIZED, (WPARAM)cwp->hwnd, 0);
            break;
        case WM_ACTIVATE:
            if (HIWORD(cwp->wParam))
                PostMessageA(target, MSG_WINDOW_MINIMIZED, (WPARAM)cwp->hwnd, 0);
            break;
        }
    }
    /* The hooked process holds no copy of the hook handle; null is enough. */
    return CallNextHookEx(0, code, wParam, lParam);
}

ZARNDLL_API LRESULT WINAPI GetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND target = g_target;
    if (code >= 0 && target) {
        MSG *msg = (MSG *)lParam;
        if (msg->message == WM_SYSCOMMAND && msg->wParam == SC_CLOSE &&
            SendMessageA(target, MSG_IS_MANAGED, (WPARAM)msg->hwnd, 0)) {
            msg->wParam = SC_MINIMIZE;
            PostMessageA(target, MSG_WINDOW_MINIMIZED, (WPARAM)msg->hwnd, 0);
        }
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

ZARNDLL_API HGLOBAL WINAPI StartHook(DWORD threadId, HWND target)
{
    g_target = target;  /* before the hook: its first message must find it */
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndHookProc, g_instance, threadId);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(HookBlock));
    HookBlock *hb = block ? (HookBlock *)GlobalLock(block) : 0;
    if (!hb) {
        /* The caller treats null as "no hook", so leave none behind. */
        if (hook)
            UnhookWindowsHookEx(hook);
        if (block)
            GlobalFree(block);
        return 0;
    }
    hb->hook = hook;
    hb->target = target;
    GlobalUnlock(block);
    return block;
}

ZARNDLL_API HGLOBAL WINAPI EndHook(HGLOBAL block)
{
    HookBlock *hb = (HookBlock *)GlobalLock(block);
    if (hb) {
        UnhookWindowsHookEx(hb->hook);
        GlobalUnlock(block);
    }
    return GlobalFree(block);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        g_instance = instance;
    return TRUE;
}
