// CAdoRecordset: the rows of a query on an open CAdoConnection, ADO style. The cursor is
// client-side: Open reads the whole result, so the connection is free for other statements
// while the rows are walked. Every failure raises _com_error.
#pragma once
#include "framework/AdoConnection.h"
#include "framework/OdbcStatement.h"

class CAdoRecordset {
public:
    // Runs the command text on the connection, within the connection's CommandTimeout, and
    // reads its result. A command that returns no rows leaves the recordset closed.
    void Open(const char* source, const CConnectionPtr& activeConnection);
    // True after the last row (and for an empty result).
    bool GetEOF() const;
    // The value of a field of the current row, by name without regard to case: nullopt for
    // NULL, otherwise the value as text.
    std::optional<CString> GetCollect(const char* field) const;
    void MoveNext();
    long GetState() const { return m_bOpen ? adStateOpen : adStateClosed; }
    void Close();

private:
    void RequireOpen() const;

    bool m_bOpen = false;
    COdbcResult m_result;
    size_t m_nRow = 0;
};

using CRecordsetPtr = CAdoPtr<CAdoRecordset>;
