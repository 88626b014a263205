#include "afxcoll.h"

void CStringArray::CheckIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= GetSize()) AfxThrowInvalidArgException();
}

void CStringArray::SetSize(INT_PTR nNewSize, INT_PTR /*nGrowBy*/) {
    if (nNewSize < 0) AfxThrowInvalidArgException();
    m_data.resize(static_cast<std::size_t>(nNewSize));
}

const CString& CStringArray::GetAt(INT_PTR nIndex) const {
    CheckIndex(nIndex);
    return m_data[static_cast<std::size_t>(nIndex)];
}

void CStringArray::SetAt(INT_PTR nIndex, LPCWSTR newElement) { SetAt(nIndex, CString(newElement)); }

void CStringArray::SetAt(INT_PTR nIndex, const CString& newElement) {
    CheckIndex(nIndex);
    m_data[static_cast<std::size_t>(nIndex)] = newElement;
}

CString& CStringArray::ElementAt(INT_PTR nIndex) {
    CheckIndex(nIndex);
    return m_data[static_cast<std::size_t>(nIndex)];
}

void CStringArray::SetAtGrow(INT_PTR nIndex, LPCWSTR newElement) { SetAtGrow(nIndex, CString(newElement)); }

void CStringArray::SetAtGrow(INT_PTR nIndex, const CString& newElement) {
    if (nIndex < 0) AfxThrowInvalidArgException();
    if (nIndex >= GetSize()) m_data.resize(static_cast<std::size_t>(nIndex) + 1);
    m_data[static_cast<std::size_t>(nIndex)] = newElement;
}

INT_PTR CStringArray::Add(LPCWSTR newElement) { return Add(CString(newElement)); }

INT_PTR CStringArray::Add(const CString& newElement) {
    m_data.push_back(newElement);
    return GetUpperBound();
}

INT_PTR CStringArray::Append(const CStringArray& src) {
    const INT_PTR oldSize = GetSize();
    const std::vector<CString> added = src.m_data;  // a copy: the source may be this array
    m_data.insert(m_data.end(), added.begin(), added.end());
    return oldSize;
}

void CStringArray::Copy(const CStringArray& src) {
    if (&src != this) m_data = src.m_data;
}

void CStringArray::InsertAt(INT_PTR nIndex, LPCWSTR newElement, INT_PTR nCount) {
    InsertAt(nIndex, CString(newElement), nCount);
}

void CStringArray::InsertAt(INT_PTR nIndex, const CString& newElement, INT_PTR nCount) {
    if (nIndex < 0 || nCount <= 0) AfxThrowInvalidArgException();
    if (nIndex > GetSize()) m_data.resize(static_cast<std::size_t>(nIndex));
    m_data.insert(m_data.begin() + nIndex, static_cast<std::size_t>(nCount), newElement);
}

void CStringArray::InsertAt(INT_PTR nStartIndex, const CStringArray* pNewArray) {
    if (pNewArray == nullptr || nStartIndex < 0) AfxThrowInvalidArgException();
    if (pNewArray->IsEmpty()) return;
    const std::vector<CString> inserted = pNewArray->m_data;  // a copy: the source may be this array
    if (nStartIndex > GetSize()) m_data.resize(static_cast<std::size_t>(nStartIndex));
    m_data.insert(m_data.begin() + nStartIndex, inserted.begin(), inserted.end());
}

void CStringArray::RemoveAt(INT_PTR nIndex, INT_PTR nCount) {
    if (nIndex < 0 || nCount < 0 || nIndex > GetSize() - nCount) AfxThrowInvalidArgException();
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
}
