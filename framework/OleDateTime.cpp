#include "framework/OleDateTime.h"
#include <oleauto.h>
#include <string>

bool COleDateTime::ParseDateTime(const char* text, DWORD flags, LCID lcid)
{
    m_status = invalid;
    std::wstring wide = Utf16FromAnsi(text);
    DATE d = 0;
    if (FAILED(::VarDateFromStr(&wide[0], lcid, flags, &d))) return false;
    if (!::VariantTimeToSystemTime(d, &m_st)) return false;
    m_dt = d;
    m_status = valid;
    return true;
}

COleDateTime COleDateTime::GetCurrentTime()
{
    COleDateTime t;
    ::GetLocalTime(&t.m_st);
    t.m_st.wMilliseconds = 0;
    DATE d = 0;
    if (::SystemTimeToVariantTime(&t.m_st, &d)) {
        t.m_dt = d;
        t.m_status = valid;
    }
    return t;
}
