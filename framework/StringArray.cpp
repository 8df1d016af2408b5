#include "framework/StringArray.h"
#include <stdexcept>

std::ptrdiff_t CStringArray::CheckedInsert(int i) const
{
    if (i < 0 || i > GetSize()) throw std::out_of_range("CStringArray::InsertAt");
    return i;
}

void CStringArray::RemoveAt(int i, int nCount)
{
    if (i < 0 || nCount < 0 || i + nCount > GetSize()) throw std::out_of_range("CStringArray::RemoveAt");
    m_items.erase(m_items.begin() + i, m_items.begin() + i + nCount);
}
