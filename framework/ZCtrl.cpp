/*
 * CImageList and CListCtrl.
 */
#include "ZCtrl.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != NULL;
}

BOOL CImageList::Attach(HIMAGELIST list)
{
    if (m_hImageList || !list)
        return FALSE;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST list = m_hImageList;
    m_hImageList = NULL;
    return list;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    ImageList_Destroy(m_hImageList);
    m_hImageList = NULL;
    return TRUE;
}

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int subItem)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = format;
    col.pszText = (LPSTR)heading;
    if (width != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    if (subItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = subItem;
    }
    return (int)SendMessage(LVM_INSERTCOLUMNA, column, (LPARAM)&col);
}

CImageList *CListCtrl::SetImageList(CImageList *list, int type)
{
    m_replaced.Detach();
    HIMAGELIST old = (HIMAGELIST)SendMessage(LVM_SETIMAGELIST, type, (LPARAM)(list ? list->m_hImageList : NULL));
    if (!old)
        return nullptr;
    m_replaced.Attach(old);
    return &m_replaced;
}

int CListCtrl::InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param)
{
    LVITEMA it = {};
    it.mask = mask;
    it.iItem = item;
    it.pszText = (LPSTR)text;
    it.state = state;
    it.stateMask = stateMask;
    it.iImage = image;
    it.lParam = param;
    return (int)SendMessage(LVM_INSERTITEMA, 0, (LPARAM)&it);
}

int CListCtrl::InsertItem(int item, LPCSTR text, int image)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, item, text, 0, 0, image, 0);
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    SendMessage(LVM_GETITEMA, 0, (LPARAM)&it);
    return (DWORD_PTR)it.lParam;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data)
{
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    it.lParam = (LPARAM)data;
    return (BOOL)SendMessage(LVM_SETITEMA, 0, (LPARAM)&it);
}

BOOL CListCtrl::GetCheck(int item) const
{
    UINT state = (UINT)SendMessage(LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK);
    return (BOOL)((state >> 12) - 1);
}

BOOL CListCtrl::SetCheck(int item, BOOL check)
{
    LVITEMA it = {};
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
    return (BOOL)SendMessage(LVM_SETITEMSTATE, item, (LPARAM)&it);
}
