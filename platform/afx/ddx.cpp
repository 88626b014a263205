// Dialog data exchange: binding controls and moving values between
// controls and members.

#include "afxwin.h"

#include <cerrno>
#include <climits>
#include <cwchar>

namespace {

bool IsBlank(WCHAR ch) { return ch == L' ' || ch == L'\t'; }

// Sets a control's text only when it changes, so that the control does not
// flicker on every exchange.
void SetWindowTextIfChanged(HWND hWnd, LPCWSTR lpszNew) {
    CString current;
    CWnd::FromHandle(hWnd)->GetWindowText(current);
    if (current != lpszNew) ::SetWindowTextW(hWnd, lpszNew);
}

void GetText(HWND hWnd, CString& value) { CWnd::FromHandle(hWnd)->GetWindowText(value); }

// A decimal integer between optional blanks, as the framework reads fields:
// "12", " -7 "; not "", "+0", "1x" or a number outside the int range.
bool ParseInt(LPCWSTR text, int* value) {
    while (IsBlank(*text)) ++text;
    const WCHAR first = *text;
    wchar_t* end = nullptr;
    errno = 0;
    const long long parsed = std::wcstoll(text, &end, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    if (parsed == 0 && first != L'0') return false;
    while (IsBlank(*end)) ++end;
    if (*end != L'\0') return false;
    *value = static_cast<int>(parsed);
    return true;
}

void GetSelectedText(HWND hWndCombo, CString& value) {
    const auto selected = static_cast<int>(::SendMessageW(hWndCombo, CB_GETCURSEL, 0, 0));
    const int length =
        selected == CB_ERR ? CB_ERR : static_cast<int>(::SendMessageW(hWndCombo, CB_GETLBTEXTLEN, selected, 0));
    if (length == CB_ERR) {
        // Nothing selected: the edit field's text, if the box has one.
        GetText(hWndCombo, value);
        return;
    }
    ::SendMessageW(hWndCombo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(value.GetBufferSetLength(length)));
    value.ReleaseBuffer();
}

}  // namespace

// ---- CDataExchange ------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWndCtrl = nullptr;
    if (m_pDlgWnd != nullptr) m_pDlgWnd->GetDlgItem(nIDC, &hWndCtrl);
    if (hWndCtrl == nullptr) AfxThrowNotSupportedException();
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    const HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail() {
    if (m_pDlgWnd != nullptr && m_idLastControl != 0) {
        if (const HWND hWndLast = ::GetDlgItem(m_pDlgWnd->m_hWnd, static_cast<int>(m_idLastControl))) {
            ::SetFocus(hWndLast);
        }
    }
    AfxThrowUserException();
}

// ---- exchange functions -------------------------------------------------------------

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) return;
    const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        GetText(hWndCtrl, value);
    } else {
        SetWindowTextIfChanged(hWndCtrl, value);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format(L"%d", value);
        SetWindowTextIfChanged(hWndCtrl, text);
        return;
    }
    CString text;
    GetText(hWndCtrl, text);
    if (ParseInt(text, &value)) return;
    CString prompt;
    if (!prompt.LoadString(AFX_IDP_PARSE_INT)) prompt = L"Please enter an integer.";
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_INT);
    pDX->Fail();
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageW(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        GetSelectedText(hWndCtrl, value);
        return;
    }
    // The first item that begins with the value; a drop-down list without
    // one ignores the text.
    const LRESULT selected = ::SendMessageW(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(value.GetString()));
    if (selected == CB_ERR) SetWindowTextIfChanged(hWndCtrl, value);
}

void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        GetSelectedText(hWndCtrl, value);
        return;
    }
    const auto found = static_cast<int>(::SendMessageW(hWndCtrl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>(value.GetString())));
    if (found == CB_ERR) {
        SetWindowTextIfChanged(hWndCtrl, value);
    } else {
        ::SendMessageW(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
}
