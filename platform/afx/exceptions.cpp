#include "afx.h"

#include <cwchar>

namespace {

BOOL CopyMessage(LPCWSTR text, LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext != nullptr) *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0) return FALSE;
    std::wcsncpy(lpszError, text, nMaxError - 1);
    lpszError[nMaxError - 1] = L'\0';
    return TRUE;
}

}  // namespace

void CException::Delete() {
    if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    if (pnHelpContext != nullptr) *pnHelpContext = 0;
    if (lpszError != nullptr && nMaxError > 0) *lpszError = L'\0';
    return FALSE;
}

BOOL CInvalidArgException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage(L"Encountered an improper argument.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage(L"Unsupported operation was attempted.", lpszError, nMaxError, pnHelpContext);
}

void AFXAPI AfxThrowInvalidArgException() { throw new CInvalidArgException(); }

void AFXAPI AfxThrowNotSupportedException() { throw new CNotSupportedException(); }

void AFXAPI AfxThrowUserException() { throw new CUserException(); }
