// CRecordset: a forward-only result of one SQL text on an open CDatabase. Open positions on
// the first row; values are read as text by column name. Every ODBC error throws CDBException.
#pragma once
#include "framework/Database.h"
#include <vector>

// The description of one result column.
struct CODBCFieldInfo {
    CString m_strName;
    SQLSMALLINT m_nSQLType = 0;
    SQLULEN m_nPrecision = 0;
    SQLSMALLINT m_nScale = 0;
    SQLSMALLINT m_nNullability = 0;
};

class CRecordset {
public:
    enum OpenType { forwardOnly = 2 };
    enum OpenOptions { none = 0, readOnly = 0x0004 };

    explicit CRecordset(CDatabase* pDatabase) : m_pDatabase(pDatabase) {}
    virtual ~CRecordset() { Close(); }
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Executes `lpszSQL` and fetches the first row. Only forward-only results exist here.
    // Returns TRUE when the result is open; FALSE when the database is not open.
    virtual BOOL Open(UINT nOpenType, const char* lpszSQL, DWORD dwOptions = none);
    virtual void Close();
    BOOL IsOpen() const { return m_hstmt != nullptr; }

    short GetODBCFieldCount() const { return static_cast<short>(m_fields.size()); }
    void GetODBCFieldInfo(short nIndex, CODBCFieldInfo& fieldInfo) const;

    // The value of the named column (compared without regard to case) in the current row as
    // text; NULL gives empty text. A long value is read whole. Reading a column again in the
    // same row gives the same text.
    void GetFieldValue(const char* lpszName, CString& strValue);
    void GetFieldValue(short nIndex, CString& strValue);
    // The index of the named column (compared without regard to case), for reading many rows
    // by index; throws CDBException when the result has no such column.
    short GetFieldIndexByName(const char* lpszName) const;

    BOOL IsEOF() const { return m_bEOF; }
    void MoveNext();

    CDatabase* m_pDatabase;
    SQLHSTMT m_hstmt = nullptr;

private:
    void Fetch();
    CString ReadColumn(short nIndex);

    std::vector<CODBCFieldInfo> m_fields;
    // Values of the current row already read (SQLGetData gives each column once per row).
    std::vector<bool> m_read;
    std::vector<CString> m_values;
    BOOL m_bEOF = TRUE;
};
