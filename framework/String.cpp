#include "framework/String.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

void CString::Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
    } else {
        std::string out(static_cast<size_t>(n) + 1, '\0');
        vsnprintf(&out[0], out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
        m_str.swap(out);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    char buf[1024];
    int n = ::LoadStringA(GetModuleHandleA(nullptr), nID, buf, sizeof buf);
    m_str.assign(buf, static_cast<size_t>(n > 0 ? n : 0));
    return n > 0;
}

bool IsCharBoundary(const char* text, int offset)
{
    const char* p = text;
    while (p < text + offset && *p) p = NextAnsiChar(p);
    return p == text + offset;
}

const char* NextAnsiChar(const char* p)
{
    return IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? p + 2 : p + 1;
}

std::wstring Utf16FromAnsi(const char* text, int length, bool strict)
{
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    int n = ::MultiByteToWideChar(CP_ACP, flags, text, length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, flags, text, length, &wide[0], n);
    if (length < 0) wide.resize(static_cast<size_t>(n - 1));   // without the terminating NUL
    return wide;
}

int CString::Find(const char* psz, int nStart) const
{
    if (!psz || nStart < 0 || nStart > GetLength()) return -1;
    size_t needle = std::strlen(psz);
    // Walk character by character so that a match never begins on a trail byte.
    size_t i = 0;
    const char* s = m_str.c_str();
    while (i <= m_str.size()) {
        if (static_cast<int>(i) >= nStart && m_str.compare(i, needle, psz) == 0 && i + needle <= m_str.size())
            return static_cast<int>(i);
        if (i == m_str.size()) break;
        i += (IsDBCSLeadByte(static_cast<BYTE>(s[i])) && i + 1 < m_str.size()) ? 2 : 1;
    }
    return -1;
}

int CString::Find(char ch, int nStart) const
{
    char s[2] = {ch, 0};
    return Find(s, nStart);
}

CString CString::Left(int n) const
{
    if (n < 0) n = 0;
    return CString(m_str.substr(0, static_cast<size_t>(n)));
}

CString CString::Mid(int nFirst) const
{
    if (nFirst < 0) nFirst = 0;
    if (nFirst >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst)));
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0) nFirst = 0;
    if (nCount < 0 || nFirst >= GetLength()) return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Right(int n) const
{
    if (n < 0) n = 0;
    if (n >= GetLength()) return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(n)));
}

static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && IsSpace(m_str[i])) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    // Spaces are single-byte and never a GBK trail byte (trail bytes are 0x40 and above).
    size_t n = m_str.size();
    while (n > 0 && IsSpace(m_str[n - 1])) --n;
    m_str.resize(n);
    return *this;
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    if (!pszOld || !*pszOld) return 0;
    std::string repl = pszNew ? pszNew : "";
    int count = 0;
    int pos = Find(pszOld, 0);
    std::string out;
    int from = 0;
    while (pos >= 0) {
        out.append(m_str, static_cast<size_t>(from), static_cast<size_t>(pos - from));
        out += repl;
        from = pos + static_cast<int>(std::strlen(pszOld));
        ++count;
        pos = Find(pszOld, from);
    }
    if (count) {
        out.append(m_str, static_cast<size_t>(from), std::string::npos);
        m_str.swap(out);
    }
    return count;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength()) m_str.resize(static_cast<size_t>(nMinLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}
