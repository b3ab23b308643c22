/*
 * Command targets, message maps and CWnd: the window layer under Zarninst's
 * dialogs.
 *
 * A message map is a static table per class of (message, notification
 * code, control id, handler adapter), chained to the base class's table.
 * Dispatch walks the chain from the most derived class; the first entry
 * that matches handles the message. Unhandled messages go to the window's
 * previous window procedure (for a dialog, the dialog manager).
 */
#ifndef ZARN_FRAMEWORK_ZWND_H
#define ZARN_FRAMEWORK_ZWND_H
#include <windows.h>

class CCmdTarget;
class CWnd;

/* A menu handle; the object does not destroy the menu. */
class CMenu {
public:
    HMENU m_hMenu;

    CMenu() : m_hMenu(NULL) {}
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCSTR text = NULL)
    {
        return ::AppendMenuA(m_hMenu, flags, id, text);
    }
    UINT GetMenuItemCount() const { return (UINT)::GetMenuItemCount(m_hMenu); }
};

/* Calls the handler on target; the result is the window procedure's. */
typedef LRESULT (*MessageHandler)(CCmdTarget *target, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;   /* 0 ends the table */
    UINT code;      /* WM_COMMAND: notification code (0 for menus and accelerators) */
    UINT id;        /* WM_COMMAND: command or control id */
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap *(*base)();   /* null at the root */
    const MessageMapEntry *entries;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const MessageMap *GetThisMessageMap();               \
    const MessageMap *GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                              \
    const MessageMap *theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap *theClass::GetThisMessageMap()                          \
    {                                                                        \
        using ThisClass [[maybe_unused]] = theClass;                         \
        using TheBaseClass = baseClass;                                      \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                    \
            {0, 0, 0, nullptr}                                               \
        };                                                                   \
        static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                         \
    }

/* The adapters are written inside the class's own map function, so they
   may call its protected handlers. */
#define ON_COMMAND(id, memberFxn)                                            \
    {WM_COMMAND, 0, (UINT)(id), [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT { \
        (static_cast<ThisClass *>(t)->*(memberFxn))(); return 0; }},
#define ON_CONTROL(code, id, memberFxn)                                      \
    {WM_COMMAND, (UINT)(code), (UINT)(id), [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT { \
        (static_cast<ThisClass *>(t)->*(memberFxn))(); return 0; }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

#define ON_WM_SYSCOMMAND()                                                   \
    {WM_SYSCOMMAND, 0, 0, [](CCmdTarget *t, WPARAM w, LPARAM l) -> LRESULT { \
        static_cast<ThisClass *>(t)->OnSysCommand((UINT)w, l); return 0; }},
#define ON_WM_PAINT()                                                        \
    {WM_PAINT, 0, 0, [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT {           \
        static_cast<ThisClass *>(t)->OnPaint(); return 0; }},
#define ON_WM_QUERYDRAGICON()                                                \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT {   \
        return (LRESULT)static_cast<ThisClass *>(t)->OnQueryDragIcon(); }},
#define ON_WM_CLOSE()                                                        \
    {WM_CLOSE, 0, 0, [](CCmdTarget *t, WPARAM, LPARAM) -> LRESULT {           \
        static_cast<ThisClass *>(t)->OnClose(); return 0; }},

/* Anything that handles commands: windows and the application. */
class CCmdTarget {
public:
    virtual ~CCmdTarget() {}
    /* Runs the handler of WM_COMMAND (code, id) in this object's map;
       FALSE when the map has none. */
    virtual BOOL OnCmdMsg(UINT id, int code);

protected:
    static const MessageMap *GetThisMessageMap();
    virtual const MessageMap *GetMessageMap() const;
    /* The first entry of the map chain that matches, or null. */
    const MessageMapEntry *FindEntry(UINT message, UINT code, UINT id) const;
};

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd;

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    /* Binds this object to an existing window without taking over its
       messages; Detach gives the handle back. */
    BOOL Attach(HWND hwnd);
    HWND Detach();
    /* Binds this object and routes the window's messages through its map. */
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();
    /* The object that handles hwnd's messages, or null. */
    static CWnd *FromHandlePermanent(HWND hwnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HICON SetIcon(HICON icon, BOOL bigIcon)
    {
        return (HICON)SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)icon);
    }
    /* The window menu, kept by this object; null when the window has none. */
    CMenu *GetSystemMenu(BOOL revert);

    /* The message being handled, handed to the default processing. */
    LRESULT Default();

protected:
    WNDPROC m_pfnSuper;   /* the window procedure before subclassing */
    CMenu m_sysMenu;

    /* Map first, then DefWindowProc. */
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /* TRUE when the map handled the message; *result then holds its result. */
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    /* The previous window procedure, or the system's default. */
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /* After the last message (WM_NCDESTROY): the handle is gone. */
    virtual void PostNcDestroy() {}

    void OnSysCommand(UINT id, LPARAM lParam) { Default(); }
    void OnPaint() { Default(); }
    HCURSOR OnQueryDragIcon() { return (HCURSOR)Default(); }
    void OnClose() { Default(); }

    static LRESULT CALLBACK StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } m_current;
};

/* A paint context for OnPaint: BeginPaint on construction, EndPaint after. */
class CPaintDC {
public:
    HDC m_hDC;
    PAINTSTRUCT m_ps;

    explicit CPaintDC(CWnd *wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC &) = delete;
    CPaintDC &operator=(const CPaintDC &) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

private:
    HWND m_hWnd;
};

#endif
