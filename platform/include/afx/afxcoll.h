#pragma once
// CStringArray: a growable array of CString, indexed from 0. A bad index
// throws CInvalidArgException, as the framework does.

#include "afx.h"

#include <vector>

class CStringArray : public CObject {
public:
    CStringArray() = default;

    INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const noexcept { return GetSize(); }
    BOOL IsEmpty() const noexcept { return m_data.empty(); }
    INT_PTR GetUpperBound() const noexcept { return GetSize() - 1; }
    // New elements are empty strings; nGrowBy is a hint the framework may ignore.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() noexcept { m_data.clear(); }

    const CString& GetAt(INT_PTR nIndex) const;
    void SetAt(INT_PTR nIndex, LPCWSTR newElement);
    void SetAt(INT_PTR nIndex, const CString& newElement);
    CString& ElementAt(INT_PTR nIndex);
    const CString* GetData() const noexcept { return m_data.data(); }
    CString* GetData() noexcept { return m_data.data(); }
    // Grows the array as needed to make nIndex valid.
    void SetAtGrow(INT_PTR nIndex, LPCWSTR newElement);
    void SetAtGrow(INT_PTR nIndex, const CString& newElement);

    INT_PTR Add(LPCWSTR newElement);
    INT_PTR Add(const CString& newElement);
    INT_PTR Append(const CStringArray& src);
    void Copy(const CStringArray& src);

    const CString& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    CString& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    // Inserting past the end grows the array with empty strings first.
    void InsertAt(INT_PTR nIndex, LPCWSTR newElement, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nIndex, const CString& newElement, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nStartIndex, const CStringArray* pNewArray);
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

private:
    void CheckIndex(INT_PTR nIndex) const;
    std::vector<CString> m_data;
};
