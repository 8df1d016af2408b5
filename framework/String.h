// CString: the program's ANSI text in the process's code page (GBK under code page 936).
// Multibyte-aware where a byte position matters: searches never match inside a
// double-byte character.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* p, int nLength) : m_str(p, static_cast<size_t>(nLength)) {}
    CString(char ch, int nRepeat = 1) : m_str(static_cast<size_t>(nRepeat), ch) {}
    CString(const std::string& s) : m_str(s) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int i) const { return m_str.at(static_cast<size_t>(i)); }
    void SetAt(int i, char ch) { m_str.at(static_cast<size_t>(i)) = ch; }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    CString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }

    // printf-style formatting into this string.
    void Format(const char* fmt, ...);
    // Loads a string resource of the program; false when it does not exist.
    BOOL LoadString(UINT nID);

    // Byte index of the first occurrence at or after nStart, -1 when none. A match must start
    // on a character boundary.
    int Find(const char* psz, int nStart = 0) const;
    int Find(char ch, int nStart = 0) const;
    int Compare(const char* psz) const { return m_str.compare(psz ? psz : ""); }

    CString Left(int n) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int n) const;
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { TrimRight(); return TrimLeft(); }
    int Replace(const char* pszOld, const char* pszNew);

    // Direct buffer access for Win32 calls that write text.
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

inline CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
inline CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
inline CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
inline CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(b == a); }
inline bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }

// Byte offsets of the character starts of an ANSI text in the process's code page.
bool IsCharBoundary(const char* text, int offset);
// The next character of an ANSI text: a double-byte character is stepped over whole (its
// trail byte may look like an ASCII delimiter such as '}' or '\\').
const char* NextAnsiChar(const char* p);

// ANSI text in the process's code page as UTF-16: `length` bytes, or up to the NUL when -1.
// With `strict`, text that is not valid in the code page gives the empty text.
std::wstring Utf16FromAnsi(const char* text, int length = -1, bool strict = false);
