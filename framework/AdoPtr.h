// CAdoPtr: a counted reference to a data-access object (connection or recordset), used the
// way the platform's smart pointers to ADO objects are: CreateInstance makes a new object,
// Release (or assigning an empty reference) lets it go, and using an empty reference raises
// _com_error(E_POINTER).
#pragma once
#include <comdef.h>
#include <memory>
#include <new>

template <class T>
class CAdoPtr {
public:
    CAdoPtr() = default;

    // Replaces the object held with a new one; the previous object is released first.
    HRESULT CreateInstance()
    {
        m_p.reset();
        try {
            m_p = std::make_shared<T>();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    void Release() { m_p.reset(); }

    T* operator->() const
    {
        if (!m_p) throw _com_error(E_POINTER);
        return m_p.get();
    }
    explicit operator bool() const { return static_cast<bool>(m_p); }
    T* GetInterfacePtr() const { return m_p.get(); }
    long RefCount() const { return m_p.use_count(); }

private:
    std::shared_ptr<T> m_p;
};
