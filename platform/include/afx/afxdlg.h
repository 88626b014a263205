#pragma once
// Dialogs and dialog data exchange. A CDialog is built from a dialog
// template (a resource id or a template in memory) and runs modally
// (DoModal) or modelessly (Create). Its messages arrive through the
// framework's dialog procedure and go through the message map; IDOK and
// IDCANCEL end it through OnOK and OnCancel unless a derived map handles
// them. DoDataExchange binds controls to members (DDX_Control) and moves
// values between controls and members (DDX_Text, DDX_CBIndex, ...).

#include "afxwnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    UINT m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    // The control's window; throws CNotSupportedException when the dialog
    // has no control with that id (UpdateData then returns FALSE).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends a failed exchange: focus goes back to the last control and
    // UpdateData returns FALSE.
    [[noreturn]] void Fail();
};

// Binds rControl to control nIDC, subclassing it, the first time only.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// An integer field; text that is not one is refused with a message box.
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// Check box state (BST_UNCHECKED, BST_CHECKED).
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Combo box selection by index (-1: none).
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Combo box text: saving reads the selected item's text, or the edit text
// when nothing is selected; loading selects the first item that begins
// with the value, or sets the edit text when none does.
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
// As DDX_CBString, but loading selects only an item equal to the value.
void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // ---- modal ------------------------------------------------------------------
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                           void* lpDialogInit = nullptr);
    // Runs the dialog; returns what EndDialog was given, or -1 when the
    // dialog could not be created.
    virtual INT_PTR DoModal();

    // ---- modeless ---------------------------------------------------------------
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                void* lpDialogInit = nullptr);

    void EndDialog(int nResult);
    DWORD GetDefID() const;
    void SetDefID(UINT nID);
    void MapDialogRect(LPRECT lpRect) const;
    void GotoDlgCtrl(CWnd* pWndCtrl);

    // Called when the controls exist; the base loads them from the members
    // (UpdateData(FALSE)) and returns TRUE to let the focus go to the first
    // control.
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Commands the dialog does not handle go on to the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    virtual void PreInitDialog();
    // IDOK: saves the controls into the members, then ends with IDOK.
    virtual void OnOK();
    // IDCANCEL: ends with IDCANCEL.
    virtual void OnCancel();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    UINT m_nIDHelp = 0;
    LPCWSTR m_lpszTemplateName = nullptr;  // a name, or MAKEINTRESOURCE of an id
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    void* m_lpDialogInit = nullptr;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    void SetTemplateName(LPCWSTR lpszTemplateName);
    LPCDLGTEMPLATE LoadTemplate() const;
    HWND ModalOwner() const;
    CString m_strTemplateName;  // keeps a template name the caller passed as text
};
