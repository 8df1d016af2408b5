// The inserts of a conversion run, made on a thread of their own: one statement per row,
// each executed at once, while the dialog's thread shows the count and keeps watch on the
// connection. When the connection says its statement is overdue (the link to the server is
// gone), the dialog's thread gives the run up at once; the run's thread, still held by the
// driver, ends by itself later and releases the worksheet and the connection it shares.
#pragma once
#include "framework/AdoConnection.h"
#include "framework/Recordset.h"
#include "framework/StringArray.h"
#include <atomic>
#include <exception>
#include <memory>
#include <vector>

// The worksheet a run reads: the workbook's database and the recordset of the select, owned
// together and closed once, the recordset first, however the run ends.
struct CWorksheetRows {
    CDatabase db;
    CRecordset rs{&db};
};

// What every row of a run needs, worked out once: the statement's head, each column's type
// row and each field's place in the result.
struct CInsertPlan {
    CString insertHead;
    std::vector<int> typeRows;
    std::vector<short> fieldIndexes;
};

class CInsertRun {
public:
    CInsertRun(std::shared_ptr<CWorksheetRows> sheet, CConnectionPtr connection, CInsertPlan plan);
    ~CInsertRun();   // waits for a run that has not been given up
    CInsertRun(const CInsertRun&) = delete;
    CInsertRun& operator=(const CInsertRun&) = delete;

    // Starts inserting; raises _com_error when no thread can be made.
    void Start();
    // Waits up to `milliseconds`; true once the run has ended.
    bool Wait(DWORD milliseconds);
    // Rows inserted so far.
    int Landed() const;
    // Once the run has ended: raises here what stopped it on its own thread, if anything did.
    void RethrowFailure() const;
    // True when the statement under way is overdue and the run should be given up.
    bool IsOverdue() const;
    // Stops waiting for the run: its thread inserts no further row and ends by itself.
    void GiveUp();

private:
    struct CShared;
    static DWORD WINAPI ThreadMain(void* shared);
    std::shared_ptr<CShared> m_shared;
    HANDLE m_thread = nullptr;
};
