// COleDateTime: a date and time as the platform's OLE Automation date, parsed from text by the
// platform's locale-aware parser.
#pragma once
#include "framework/String.h"

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1 };

    // Parses `text` in the user's default locale; on failure the status becomes invalid.
    bool ParseDateTime(const char* text, DWORD flags = 0, LCID lcid = LOCALE_USER_DEFAULT);
    static COleDateTime GetCurrentTime();

    DateTimeStatus GetStatus() const { return m_status; }
    int GetYear() const { return m_st.wYear; }
    int GetMonth() const { return m_st.wMonth; }
    int GetDay() const { return m_st.wDay; }
    int GetHour() const { return m_st.wHour; }
    int GetMinute() const { return m_st.wMinute; }
    int GetSecond() const { return m_st.wSecond; }
    // The OLE Automation date: days since 1899-12-30, the fraction being the time of day.
    double m_dt = 0;

private:
    DateTimeStatus m_status = invalid;
    SYSTEMTIME m_st = {};
};
