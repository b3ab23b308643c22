/*
 * Message-map dispatch and window subclassing for CWnd.
 */
#include "ZWnd.h"

/* The window property that leads from a subclassed window to its object. */
static const char WND_PROPERTY[] = "ZFrameworkWnd";

static const MessageMapEntry g_rootEntries[] = {{0, 0, 0, nullptr}};

const MessageMap *CCmdTarget::GetThisMessageMap()
{
    static const MessageMap map = {nullptr, g_rootEntries};
    return &map;
}

const MessageMap *CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMapEntry *CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const
{
    for (const MessageMap *map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const MessageMapEntry *e = map->entries; e->message; e++)
            if (e->message == message && e->code == code && e->id == id)
                return e;
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code)
{
    const MessageMapEntry *e = FindEntry(WM_COMMAND, (UINT)code, id);
    if (!e)
        return FALSE;
    e->handler(this, 0, 0);
    return TRUE;
}

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_current{0, 0, 0} {}

CWnd::~CWnd()
{
    if (m_pfnSuper)
        UnsubclassWindow();
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    m_hWnd = NULL;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    SetPropA(hwnd, WND_PROPERTY, (HANDLE)this);
    m_pfnSuper = (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)StandardWindowProc);
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper && m_hWnd) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        RemovePropA(m_hWnd, WND_PROPERTY);
    }
    m_pfnSuper = NULL;
    return Detach();
}

CWnd *CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? (CWnd *)GetPropA(hwnd, WND_PROPERTY) : nullptr;
}

CMenu *CWnd::GetSystemMenu(BOOL revert)
{
    m_sysMenu.m_hMenu = ::GetSystemMenu(m_hWnd, revert);
    return m_sysMenu.m_hMenu ? &m_sysMenu : nullptr;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 0;
        return TRUE;
    }
    const MessageMapEntry *e = FindEntry(message, 0, 0);
    if (!e)
        return FALSE;
    *result = e->handler(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    int code = HIWORD(wParam);
    if (code == 1 && !lParam)
        code = 0;   /* an accelerator runs the same handler as the menu */
    return OnCmdMsg(LOWORD(wParam), code);
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd *wnd = FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    /* Handlers may send messages to their own window: keep the outer one
       for Default. */
    CurrentMessage outer = wnd->m_current;
    wnd->m_current = {message, wParam, lParam};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_current = outer;

    if (message == WM_NCDESTROY) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}
