#pragma once
// CString: the framework's string. Text is wide throughout, so CString is
// CStringW. Format takes C variable arguments with the Microsoft C runtime's
// rules (%s and %c are wide, %hs and %S narrow, I64/I32/I size prefixes,
// %p as sixteen upper-case hex digits), whatever the host's printf does.
//
// A CString is not trivially copyable and cannot travel through "...": pass
// GetString() (or cast to LPCTSTR) to Format. Text that comes from outside
// is only ever an argument, never the format.

#include <windows.h>

#include <cstdarg>
#include <string>

// Bad indexes and lengths are reported as the framework does, by throwing a
// CInvalidArgException (see afx.h).
[[noreturn]] void AfxThrowInvalidArgException();

class CStringW {
public:
    typedef WCHAR XCHAR;
    typedef LPWSTR PXSTR;
    typedef LPCWSTR PCXSTR;

    CStringW() = default;
    CStringW(const CStringW&) = default;
    CStringW(CStringW&&) noexcept = default;
    // A null pointer gives an empty string; an integer resource id in the
    // pointer (MAKEINTRESOURCE) loads that string resource.
    CStringW(PCXSTR psz);
    // Narrow text is read as UTF-8.
    CStringW(LPCSTR psz);
    CStringW(PCXSTR pch, int nLength);
    CStringW(LPCSTR pch, int nLength);
    explicit CStringW(XCHAR ch, int nRepeat = 1);
    ~CStringW() = default;

    CStringW& operator=(const CStringW&) = default;
    CStringW& operator=(CStringW&&) noexcept = default;
    CStringW& operator=(PCXSTR psz);
    CStringW& operator=(LPCSTR psz);
    CStringW& operator=(XCHAR ch);

    // ---- size and access -------------------------------------------------
    int GetLength() const noexcept { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const noexcept { return m_str.empty(); }
    void Empty() noexcept { m_str.clear(); }
    // Index 0..GetLength(); GetLength() gives the terminating zero.
    XCHAR GetAt(int iChar) const;
    void SetAt(int iChar, XCHAR ch);
    XCHAR operator[](int iChar) const { return GetAt(iChar); }
    PCXSTR GetString() const noexcept { return m_str.c_str(); }
    operator PCXSTR() const noexcept { return m_str.c_str(); }
    void SetString(PCXSTR psz);
    void SetString(PCXSTR pch, int nLength);

    // ---- raw buffer --------------------------------------------------------
    // The buffer holds at least nMinBufferLength characters plus a zero;
    // after writing into it, ReleaseBuffer fixes the length (-1: up to the
    // first zero).
    PXSTR GetBuffer();
    PXSTR GetBuffer(int nMinBufferLength);
    PXSTR GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);
    void ReleaseBufferSetLength(int nNewLength);
    void Preallocate(int nLength);
    void FreeExtra() { m_str.shrink_to_fit(); }
    int GetAllocLength() const noexcept { return static_cast<int>(m_str.capacity()); }
    void Truncate(int nNewLength);

    // ---- building ----------------------------------------------------------
    void Append(PCXSTR psz);
    void Append(PCXSTR pch, int nLength);
    void Append(const CStringW& str) { m_str += str.m_str; }
    void AppendChar(XCHAR ch) { m_str.push_back(ch); }
    CStringW& operator+=(const CStringW& str);
    CStringW& operator+=(PCXSTR psz);
    CStringW& operator+=(LPCSTR psz);
    CStringW& operator+=(XCHAR ch);
    CStringW& operator+=(char ch);
    int Insert(int iIndex, XCHAR ch);
    int Insert(int iIndex, PCXSTR psz);
    int Delete(int iIndex, int nCount = 1);

    // ---- formatting (Microsoft C runtime rules) ------------------------------
    void Format(PCXSTR pszFormat, ...);
    void Format(UINT nFormatID, ...);
    void FormatV(PCXSTR pszFormat, va_list args);
    void AppendFormat(PCXSTR pszFormat, ...);
    void AppendFormat(UINT nFormatID, ...);
    void AppendFormatV(PCXSTR pszFormat, va_list args);

    // ---- resources -----------------------------------------------------------
    // Loads string resource nID; on failure the string is left unchanged and
    // the result is FALSE.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // ---- comparing and searching ---------------------------------------------
    int Compare(PCXSTR psz) const;
    int CompareNoCase(PCXSTR psz) const;
    int Find(XCHAR ch, int iStart = 0) const noexcept;
    int Find(PCXSTR pszSub, int iStart = 0) const noexcept;
    int FindOneOf(PCXSTR pszCharSet) const noexcept;
    int ReverseFind(XCHAR ch) const noexcept;

    // ---- pieces ----------------------------------------------------------------
    CStringW Left(int nCount) const;
    CStringW Mid(int iFirst) const;
    CStringW Mid(int iFirst, int nCount) const;
    CStringW Right(int nCount) const;
    CStringW SpanIncluding(PCXSTR pszCharSet) const;
    CStringW SpanExcluding(PCXSTR pszCharSet) const;
    // Next token after iStart; iStart becomes -1 once there are no more.
    CStringW Tokenize(PCXSTR pszTokens, int& iStart) const;

    // ---- changing in place -----------------------------------------------------
    CStringW& MakeUpper();
    CStringW& MakeLower();
    CStringW& MakeReverse();
    CStringW& Trim();
    CStringW& Trim(XCHAR chTarget);
    CStringW& Trim(PCXSTR pszTargets);
    CStringW& TrimLeft();
    CStringW& TrimLeft(XCHAR chTarget);
    CStringW& TrimLeft(PCXSTR pszTargets);
    CStringW& TrimRight();
    CStringW& TrimRight(XCHAR chTarget);
    CStringW& TrimRight(PCXSTR pszTargets);
    int Replace(XCHAR chOld, XCHAR chNew);
    int Replace(PCXSTR pszOld, PCXSTR pszNew);
    int Remove(XCHAR chRemove);

    friend bool operator==(const CStringW& a, const CStringW& b) noexcept { return a.m_str == b.m_str; }
    friend bool operator==(const CStringW& a, PCXSTR b) noexcept { return a.Compare(b) == 0; }

private:
    std::wstring m_str;
};

typedef CStringW CString;

CStringW operator+(const CStringW& str1, const CStringW& str2);
CStringW operator+(const CStringW& str1, LPCWSTR psz2);
CStringW operator+(LPCWSTR psz1, const CStringW& str2);
CStringW operator+(const CStringW& str1, WCHAR ch2);
CStringW operator+(WCHAR ch1, const CStringW& str2);
CStringW operator+(const CStringW& str1, char ch2);
CStringW operator+(char ch1, const CStringW& str2);

inline bool operator<(const CStringW& a, const CStringW& b) { return a.Compare(b) < 0; }
inline bool operator<(const CStringW& a, LPCWSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCWSTR a, const CStringW& b) { return b.Compare(a) > 0; }
inline bool operator>(const CStringW& a, const CStringW& b) { return a.Compare(b) > 0; }
inline bool operator>(const CStringW& a, LPCWSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCWSTR a, const CStringW& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CStringW& a, const CStringW& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CStringW& a, LPCWSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCWSTR a, const CStringW& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CStringW& a, const CStringW& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CStringW& a, LPCWSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCWSTR a, const CStringW& b) { return b.Compare(a) <= 0; }
