// One ODBC statement on an open connection, freed with the object: a plain SQL batch run
// directly (forward-only, read-only), its first result read whole as text, or its row count.
// With its cursor closed after each batch, one statement serves any number of batches.
#pragma once
#include "framework/String.h"
#include <optional>
#include <sql.h>
#include <vector>

// A result read whole: column names and rows of values as text (no value for NULL).
struct COdbcResult {
    std::vector<CString> names;
    std::vector<std::vector<std::optional<CString>>> rows;
};

class COdbcStatement {
public:
    explicit COdbcStatement(SQLHDBC dbc);   // raises _com_error when no statement can be made
    ~COdbcStatement();
    COdbcStatement(const COdbcStatement&) = delete;
    COdbcStatement& operator=(const COdbcStatement&) = delete;

    // Seconds the statements run here may wait for the server (0: no limit); a statement that
    // outlasts them fails like any other. Raises _com_error when the driver refuses the value.
    void SetQueryTimeout(long seconds);
    // Runs the batch; raises _com_error with the driver's diagnostics when it fails.
    void ExecDirect(const char* text);
    // The first result that has columns, read to its end; nullopt when the batch returned none.
    std::optional<COdbcResult> ReadFirstResult();
    // Rows affected by the batch (-1 when the driver does not know); reads any results left.
    long RowsAffected();
    // Discards what is left of the last batch's results, so that the statement (and the
    // connection, which serves one pending result at a time) is free for the next batch.
    // Nothing is asked of the driver when the batch's results were already read to their end.
    void CloseCursor();

private:
    std::optional<CString> ReadValue(SQLUSMALLINT column);
    [[noreturn]] void Fail(const char* what);
    SQLHSTMT m_hstmt = SQL_NULL_HSTMT;
    long m_nQueryTimeout = -1;   // as last given to the driver; -1 before the first
    bool m_bResultsPending = false;   // a batch ran and the driver has not said it has no more
};
