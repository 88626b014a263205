#pragma once
// The standard controls: static text and icons, buttons and combo boxes.
// Each wraps its control's messages; Create makes the control as a child
// and subclasses it, so the object's message map sees its messages.

#include "afxwnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
    // Id 0xFFFF is the usual id of a static no one refers to.
    virtual BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
    HICON SetIcon(HICON hIcon);
    HICON GetIcon() const;
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HBITMAP GetBitmap() const;
};

class CButton : public CWnd {
public:
    CButton() = default;
    virtual BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetState() const;
    void SetState(BOOL bHighlight);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

class CComboBox : public CWnd {
public:
    CComboBox() = default;
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Each returns the index of the item, CB_ERR or CB_ERRSPACE.
    int AddString(LPCWSTR lpszString);
    int InsertString(int nIndex, LPCWSTR lpszString);
    // Returns the number of items left, or CB_ERR.
    int DeleteString(UINT nIndex);
    void ResetContent();

    int GetCount() const;
    int GetCurSel() const;
    // -1 clears the selection; an index past the end returns CB_ERR.
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, LPWSTR lpszText) const;
    // An index without an item leaves rString empty.
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);

    // Searches start after nStartAfter (-1: from the top) and wrap around.
    int FindString(int nStartAfter, LPCWSTR lpszString) const;
    int FindStringExact(int nIndexStart, LPCWSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCWSTR lpszString);

    void ShowDropDown(BOOL bShowIt = TRUE);
    BOOL GetDroppedState() const;
};
