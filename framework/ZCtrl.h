/*
 * Controls: CImageList and CListCtrl, thin over the common controls.
 */
#ifndef ZARN_FRAMEWORK_ZCTRL_H
#define ZARN_FRAMEWORK_ZCTRL_H
#include "ZWnd.h"
#include <commctrl.h>

/* An image list; the object destroys the list it holds. */
class CImageList {
public:
    HIMAGELIST m_hImageList;

    CImageList() : m_hImageList(NULL) {}
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList &) = delete;
    CImageList &operator=(const CImageList &) = delete;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
    /* Appends a copy of the icon; its position, or -1. */
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
};

class CListCtrl : public CWnd {
public:
    CListCtrl() {}
    ~CListCtrl() override { m_replaced.Detach(); }

    int GetItemCount() const { return (int)SendMessage(LVM_GETITEMCOUNT); }
    /* Heading, format, and a width and sub-item only when not -1. */
    int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    BOOL SetColumnWidth(int column, int cx)
    {
        return (BOOL)SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(cx, 0));
    }
    DWORD GetExtendedStyle() const { return (DWORD)SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE); }
    DWORD SetExtendedStyle(DWORD styles)
    {
        return (DWORD)SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles);
    }
    /* Installs list (which the list view then owns unless it shares its
       image lists; the caller detaches it). Returns an object holding the
       list it replaced, or null: valid until the next call, and not owning
       that list. */
    CImageList *SetImageList(CImageList *list, int type);
    int InsertItem(UINT mask, int item, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param);
    int InsertItem(int item, LPCSTR text, int image);
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemData(int item, DWORD_PTR data);
    /* The check box: the state image index minus one (so -1 for none). */
    BOOL GetCheck(int item) const;
    BOOL SetCheck(int item, BOOL check = TRUE);
    BOOL DeleteAllItems() { return (BOOL)SendMessage(LVM_DELETEALLITEMS); }

private:
    CImageList m_replaced;
};

#endif
