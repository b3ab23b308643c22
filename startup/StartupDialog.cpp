/*
 * The Startup list. Each item owns the ShortcutInfo that it shows (the
 * address is the item's data); every change is followed by a fresh read of
 * both folders, so the list always shows what the files hold.
 */
#include "StartupDialog.h"
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include "AboutDialog.h"
#include "Shortcut.h"

BEGIN_MESSAGE_MAP(StartupDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

StartupDialog::StartupDialog(CWnd *parent) : CDialog(IDD, parent)
{
    m_hIcon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void StartupDialog::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SHORTCUTS, m_list);
}

BOOL StartupDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    /* The shell's link object lives in this apartment until the end. */
    CoInitialize(NULL);

    CMenu *sysMenu = GetSystemMenu(FALSE);
    if (sysMenu) {
        char about[256];
        if (LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            sysMenu->AppendMenu(MF_SEPARATOR);
            sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_list.InsertColumn(0, "", LVCFMT_LEFT);
    RECT client;
    m_list.GetClientRect(&client);
    m_list.SetColumnWidth(0, client.right - client.left - 2);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);

    FillList();
    return TRUE;
}

/* Appends the shortcuts of one Startup folder to found; false once full. */
static bool CollectFolder(int folder, CImageList *images, ShortcutInfo **found, int *count)
{
    char path[MAX_PATH];
    if (!SHGetSpecialFolderPathA(GetDesktopWindow(), path, folder, FALSE))
        return true;
    char pattern[MAX_PATH + 8];
    snprintf(pattern, sizeof pattern, "%s\\*.*", path);
    WIN32_FIND_DATAA fd;
    HANDLE search = FindFirstFileA(pattern, &fd);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool room = true;
    do {
        if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        if (*count == STARTUP_MAX_SHORTCUTS) {
            room = false;
            break;
        }
        CString linkPath;
        linkPath.Format("%s\\%s", path, fd.cFileName);
        ShortcutInfo *info = new ShortcutInfo;
        if (!ReadShortcut(linkPath, info)) {
            delete info;
            continue;
        }
        if (info->icon)
            info->imageIndex = images->Add(info->icon);
        found[(*count)++] = info;
    } while (FindNextFileA(search, &fd));
    FindClose(search);
    return room;
}

void StartupDialog::FillList()
{
    ShortcutInfo *found[STARTUP_MAX_SHORTCUTS] = {};
    int count = 0;

    CImageList images;
    images.Create(32, 32, ILC_COLOR32 | ILC_MASK, 0, 0);
    if (CollectFolder(CSIDL_COMMON_STARTUP, &images, found, &count))
        CollectFolder(CSIDL_STARTUP, &images, found, &count);

    CImageList *replaced = m_list.SetImageList(&images, LVSIL_SMALL);
    images.Detach();   /* the list view owns it now */
    if (replaced)
        replaced->DeleteImageList();

    /* Each item goes to the top: the list reads in the reverse order. */
    for (int i = 0; i < count; i++) {
        ShortcutInfo *info = found[i];
        m_list.InsertItem(0, info->displayName, info->imageIndex);
        m_list.SetItemData(0, (DWORD_PTR)info);
        if (info->wrapped)
            m_list.SetCheck(0, TRUE);
    }
}

void StartupDialog::ClearList()
{
    int count = m_list.GetItemCount();
    for (int i = 0; i < count; i++) {
        ShortcutInfo *info = (ShortcutInfo *)m_list.GetItemData(i);
        if (info)
            delete info;
    }
    m_list.DeleteAllItems();
}

void StartupDialog::OnOK()
{
    if (m_list.GetItemCount() == 0)
        return;
    bool changed = false;
    for (int i = 0; i < m_list.GetItemCount(); i++) {
        ShortcutInfo *info = (ShortcutInfo *)m_list.GetItemData(i);
        if (!info)
            continue;
        bool set = m_list.GetCheck(i) != 0;
        if (set == info->wrapped)
            continue;
        if (set)
            WrapShortcut(info);
        else
            UnwrapShortcut(info);
        changed = true;
    }
    if (changed) {
        ClearList();
        FillList();
    }
}

void StartupDialog::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}

void StartupDialog::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR StartupDialog::OnQueryDragIcon() { return (HCURSOR)m_hIcon; }

void StartupDialog::OnClose()
{
    ClearList();
    CDialog::OnClose();
}
