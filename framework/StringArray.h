// CStringArray: an ordered list of CString with index access.
#pragma once
#include "framework/String.h"
#include <vector>

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int Add(const CString& s) { m_items.push_back(s); return GetSize() - 1; }
    const CString& GetAt(int i) const { return m_items.at(static_cast<size_t>(i)); }
    void SetAt(int i, const CString& s) { m_items.at(static_cast<size_t>(i)) = s; }
    CString& operator[](int i) { return m_items.at(static_cast<size_t>(i)); }
    const CString& operator[](int i) const { return m_items.at(static_cast<size_t>(i)); }
    void InsertAt(int i, const CString& s) { m_items.insert(m_items.begin() + CheckedInsert(i), s); }
    void RemoveAt(int i, int nCount = 1);
    void RemoveAll() { m_items.clear(); }

private:
    std::ptrdiff_t CheckedInsert(int i) const;
    std::vector<CString> m_items;
};
