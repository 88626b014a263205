#include "afxstr.h"

#include "afxwin.h"

#include "ms_format.h"
#include "text_convert.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

std::size_t NarrowLength(LPCSTR psz) { return psz == nullptr ? 0 : std::strlen(psz); }

LPCWSTR OrEmpty(LPCWSTR psz) { return psz == nullptr ? L"" : psz; }

bool Contains(LPCWSTR set, WCHAR ch) { return ch != 0 && set != nullptr && std::wcschr(set, ch) != nullptr; }

// Loads a format string resource for Format(UINT, ...).
CStringW LoadFormat(UINT nFormatID) {
    CStringW format;
    format.LoadString(nFormatID);
    return format;
}

}  // namespace

// ---- construction -----------------------------------------------------------

CStringW::CStringW(PCXSTR psz) {
    if (psz != nullptr && IS_INTRESOURCE(psz)) {
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    } else if (psz != nullptr) {
        m_str = psz;
    }
}

CStringW::CStringW(LPCSTR psz) : m_str(afx_internal::WidenText(psz, NarrowLength(psz))) {}

CStringW::CStringW(PCXSTR pch, int nLength) { SetString(pch, nLength); }

CStringW::CStringW(LPCSTR pch, int nLength) {
    if (nLength < 0) AfxThrowInvalidArgException();
    if (pch == nullptr && nLength > 0) AfxThrowInvalidArgException();
    m_str = afx_internal::WidenText(pch, static_cast<std::size_t>(nLength));
}

CStringW::CStringW(XCHAR ch, int nRepeat) : m_str(static_cast<std::size_t>(std::max(nRepeat, 0)), ch) {}

CStringW& CStringW::operator=(PCXSTR psz) {
    SetString(psz);
    return *this;
}

CStringW& CStringW::operator=(LPCSTR psz) {
    m_str = afx_internal::WidenText(psz, NarrowLength(psz));
    return *this;
}

CStringW& CStringW::operator=(XCHAR ch) {
    m_str.assign(1, ch);
    return *this;
}

// ---- access -------------------------------------------------------------------

CStringW::XCHAR CStringW::GetAt(int iChar) const {
    if (iChar < 0 || iChar > GetLength()) AfxThrowInvalidArgException();
    return m_str.c_str()[iChar];
}

void CStringW::SetAt(int iChar, XCHAR ch) {
    if (iChar < 0 || iChar >= GetLength()) AfxThrowInvalidArgException();
    m_str[static_cast<std::size_t>(iChar)] = ch;
}

void CStringW::SetString(PCXSTR psz) {
    if (psz == nullptr) {
        m_str.clear();
    } else {
        m_str = psz;
    }
}

void CStringW::SetString(PCXSTR pch, int nLength) {
    if (nLength < 0 || (pch == nullptr && nLength > 0)) AfxThrowInvalidArgException();
    m_str.assign(OrEmpty(pch), static_cast<std::size_t>(nLength));
}

// ---- raw buffer -------------------------------------------------------------------

CStringW::PXSTR CStringW::GetBuffer() { return m_str.data(); }

CStringW::PXSTR CStringW::GetBuffer(int nMinBufferLength) {
    if (nMinBufferLength < 0) AfxThrowInvalidArgException();
    if (static_cast<std::size_t>(nMinBufferLength) > m_str.size()) m_str.resize(nMinBufferLength);
    return m_str.data();
}

CStringW::PXSTR CStringW::GetBufferSetLength(int nLength) {
    if (nLength < 0) AfxThrowInvalidArgException();
    m_str.resize(static_cast<std::size_t>(nLength));
    return m_str.data();
}

void CStringW::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        // The caller's text ends at its first zero, within the buffer.
        const auto end = std::find(m_str.begin(), m_str.end(), L'\0');
        m_str.erase(end, m_str.end());
    } else {
        ReleaseBufferSetLength(nNewLength);
    }
}

void CStringW::ReleaseBufferSetLength(int nNewLength) {
    if (nNewLength < 0 || static_cast<std::size_t>(nNewLength) > m_str.size()) AfxThrowInvalidArgException();
    m_str.resize(static_cast<std::size_t>(nNewLength));
}

void CStringW::Preallocate(int nLength) {
    if (nLength < 0) AfxThrowInvalidArgException();
    m_str.reserve(static_cast<std::size_t>(nLength));
}

void CStringW::Truncate(int nNewLength) {
    if (nNewLength < 0 || nNewLength > GetLength()) AfxThrowInvalidArgException();
    m_str.resize(static_cast<std::size_t>(nNewLength));
}

// ---- building -------------------------------------------------------------------------

void CStringW::Append(PCXSTR psz) { m_str += OrEmpty(psz); }

void CStringW::Append(PCXSTR pch, int nLength) {
    if (nLength < 0 || (pch == nullptr && nLength > 0)) AfxThrowInvalidArgException();
    m_str.append(OrEmpty(pch), static_cast<std::size_t>(nLength));
}

CStringW& CStringW::operator+=(const CStringW& str) {
    m_str += str.m_str;
    return *this;
}

CStringW& CStringW::operator+=(PCXSTR psz) {
    Append(psz);
    return *this;
}

CStringW& CStringW::operator+=(LPCSTR psz) {
    m_str += afx_internal::WidenText(psz, NarrowLength(psz));
    return *this;
}

CStringW& CStringW::operator+=(XCHAR ch) {
    m_str.push_back(ch);
    return *this;
}

CStringW& CStringW::operator+=(char ch) {
    m_str += afx_internal::WidenText(&ch, 1);
    return *this;
}

int CStringW::Insert(int iIndex, XCHAR ch) {
    const int at = std::clamp(iIndex, 0, GetLength());
    m_str.insert(static_cast<std::size_t>(at), 1, ch);
    return GetLength();
}

int CStringW::Insert(int iIndex, PCXSTR psz) {
    const int at = std::clamp(iIndex, 0, GetLength());
    m_str.insert(static_cast<std::size_t>(at), OrEmpty(psz));
    return GetLength();
}

int CStringW::Delete(int iIndex, int nCount) {
    const int at = std::max(iIndex, 0);
    if (nCount > 0 && at < GetLength()) {
        m_str.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(std::min(nCount, GetLength() - at)));
    }
    return GetLength();
}

// ---- formatting ---------------------------------------------------------------------------

void CStringW::Format(PCXSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CStringW::Format(UINT nFormatID, ...) {
    const CStringW format = LoadFormat(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CStringW::FormatV(PCXSTR pszFormat, va_list args) {
    std::wstring text;
    afx_internal::AppendMsFormat(text, pszFormat, args);
    m_str.swap(text);
}

void CStringW::AppendFormat(PCXSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CStringW::AppendFormat(UINT nFormatID, ...) {
    const CStringW format = LoadFormat(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    AppendFormatV(format, args);
    va_end(args);
}

void CStringW::AppendFormatV(PCXSTR pszFormat, va_list args) { afx_internal::AppendMsFormat(m_str, pszFormat, args); }

// ---- resources ------------------------------------------------------------------------------

BOOL CStringW::LoadString(UINT nID) { return LoadString(AfxGetResourceHandle(), nID); }

BOOL CStringW::LoadString(HINSTANCE hInstance, UINT nID) {
    // A string resource holds at most 65535 characters; grow the buffer
    // until the text fits with room to spare.
    std::vector<WCHAR> buffer(256);
    for (;;) {
        const int length = ::LoadStringW(hInstance, nID, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return FALSE;
        if (static_cast<std::size_t>(length) + 1 < buffer.size() || buffer.size() > 65536) {
            m_str.assign(buffer.data(), static_cast<std::size_t>(length));
            return TRUE;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// ---- comparing and searching ------------------------------------------------------------------

int CStringW::Compare(PCXSTR psz) const {
    const int result = std::wcscmp(m_str.c_str(), OrEmpty(psz));
    return (result > 0) - (result < 0);
}

int CStringW::CompareNoCase(PCXSTR psz) const {
    const wchar_t* a = m_str.c_str();
    const wchar_t* b = OrEmpty(psz);
    for (;; ++a, ++b) {
        const wint_t ca = std::towlower(static_cast<wint_t>(*a));
        const wint_t cb = std::towlower(static_cast<wint_t>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

int CStringW::Find(XCHAR ch, int iStart) const noexcept {
    if (iStart < 0 || iStart >= GetLength()) return -1;
    const std::size_t at = m_str.find(ch, static_cast<std::size_t>(iStart));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CStringW::Find(PCXSTR pszSub, int iStart) const noexcept {
    if (pszSub == nullptr || iStart < 0 || iStart > GetLength()) return -1;
    const std::size_t at = m_str.find(pszSub, static_cast<std::size_t>(iStart));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CStringW::FindOneOf(PCXSTR pszCharSet) const noexcept {
    if (pszCharSet == nullptr) return -1;
    const std::size_t at = m_str.find_first_of(pszCharSet);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CStringW::ReverseFind(XCHAR ch) const noexcept {
    const std::size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

// ---- pieces -------------------------------------------------------------------------------------

CStringW CStringW::Left(int nCount) const {
    const int count = std::clamp(nCount, 0, GetLength());
    return CStringW(m_str.c_str(), count);
}

CStringW CStringW::Mid(int iFirst) const { return Mid(iFirst, GetLength()); }

CStringW CStringW::Mid(int iFirst, int nCount) const {
    const int first = std::clamp(iFirst, 0, GetLength());
    const int count = std::clamp(nCount, 0, GetLength() - first);
    return CStringW(m_str.c_str() + first, count);
}

CStringW CStringW::Right(int nCount) const {
    const int count = std::clamp(nCount, 0, GetLength());
    return CStringW(m_str.c_str() + (GetLength() - count), count);
}

CStringW CStringW::SpanIncluding(PCXSTR pszCharSet) const {
    int count = 0;
    while (count < GetLength() && Contains(pszCharSet, m_str[static_cast<std::size_t>(count)])) ++count;
    return Left(count);
}

CStringW CStringW::SpanExcluding(PCXSTR pszCharSet) const {
    int count = 0;
    while (count < GetLength() && !Contains(pszCharSet, m_str[static_cast<std::size_t>(count)])) ++count;
    return Left(count);
}

CStringW CStringW::Tokenize(PCXSTR pszTokens, int& iStart) const {
    if (iStart < 0) AfxThrowInvalidArgException();
    if (pszTokens == nullptr || *pszTokens == 0) {
        // No delimiters: the rest of the string is the token.
        if (iStart < GetLength()) return Mid(iStart);
    } else {
        int from = iStart;
        while (from < GetLength() && Contains(pszTokens, m_str[static_cast<std::size_t>(from)])) ++from;
        if (from < GetLength()) {
            int until = from;
            while (until < GetLength() && !Contains(pszTokens, m_str[static_cast<std::size_t>(until)])) ++until;
            iStart = until + 1;
            return Mid(from, until - from);
        }
    }
    iStart = -1;
    return CStringW();
}

// ---- changing in place --------------------------------------------------------------------------

CStringW& CStringW::MakeUpper() {
    for (wchar_t& c : m_str) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return *this;
}

CStringW& CStringW::MakeLower() {
    for (wchar_t& c : m_str) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return *this;
}

CStringW& CStringW::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

CStringW& CStringW::Trim() { return TrimRight().TrimLeft(); }
CStringW& CStringW::Trim(XCHAR chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CStringW& CStringW::Trim(PCXSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

CStringW& CStringW::TrimLeft() {
    const auto first = std::find_if(m_str.begin(), m_str.end(), [](wchar_t c) { return !std::iswspace(c); });
    m_str.erase(m_str.begin(), first);
    return *this;
}

CStringW& CStringW::TrimLeft(XCHAR chTarget) {
    m_str.erase(0, m_str.find_first_not_of(chTarget));
    return *this;
}

CStringW& CStringW::TrimLeft(PCXSTR pszTargets) {
    if (pszTargets == nullptr || *pszTargets == 0) return *this;
    m_str.erase(0, m_str.find_first_not_of(pszTargets));
    return *this;
}

CStringW& CStringW::TrimRight() {
    const auto last = std::find_if(m_str.rbegin(), m_str.rend(), [](wchar_t c) { return !std::iswspace(c); });
    m_str.erase(last.base(), m_str.end());
    return *this;
}

CStringW& CStringW::TrimRight(XCHAR chTarget) {
    const std::size_t last = m_str.find_last_not_of(chTarget);
    m_str.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

CStringW& CStringW::TrimRight(PCXSTR pszTargets) {
    if (pszTargets == nullptr || *pszTargets == 0) return *this;
    const std::size_t last = m_str.find_last_not_of(pszTargets);
    m_str.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

int CStringW::Replace(XCHAR chOld, XCHAR chNew) {
    int count = 0;
    for (wchar_t& c : m_str) {
        if (c == chOld) c = chNew, ++count;
    }
    return count;
}

int CStringW::Replace(PCXSTR pszOld, PCXSTR pszNew) {
    if (pszOld == nullptr || *pszOld == 0) return 0;
    const std::wstring_view from(pszOld);
    const std::wstring_view to(OrEmpty(pszNew));
    std::wstring result;
    int count = 0;
    std::size_t start = 0;
    for (std::size_t at; (at = m_str.find(from, start)) != std::wstring::npos; start = at + from.size()) {
        result.append(m_str, start, at - start).append(to);
        ++count;
    }
    if (count > 0) {
        result.append(m_str, start);
        m_str.swap(result);
    }
    return count;
}

int CStringW::Remove(XCHAR chRemove) {
    const auto end = std::remove(m_str.begin(), m_str.end(), chRemove);
    const int count = static_cast<int>(m_str.end() - end);
    m_str.erase(end, m_str.end());
    return count;
}

// ---- concatenation ---------------------------------------------------------------------------------

CStringW operator+(const CStringW& str1, const CStringW& str2) {
    CStringW result(str1);
    result += str2;
    return result;
}

CStringW operator+(const CStringW& str1, LPCWSTR psz2) {
    CStringW result(str1);
    result += psz2;
    return result;
}

CStringW operator+(LPCWSTR psz1, const CStringW& str2) {
    // Unlike the constructor, concatenation never loads a resource.
    CStringW result(IS_INTRESOURCE(psz1) ? L"" : psz1);
    result += str2;
    return result;
}

CStringW operator+(const CStringW& str1, WCHAR ch2) {
    CStringW result(str1);
    result += ch2;
    return result;
}

CStringW operator+(WCHAR ch1, const CStringW& str2) {
    CStringW result(ch1);
    result += str2;
    return result;
}

CStringW operator+(const CStringW& str1, char ch2) {
    CStringW result(str1);
    result += ch2;
    return result;
}

CStringW operator+(char ch1, const CStringW& str2) {
    CStringW result;
    result += ch1;
    result += str2;
    return result;
}
