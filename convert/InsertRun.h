// The inserts of a conversion run, made on threads of their own while the dialog's thread
// shows the count and keeps watch on the connection. One thread reads the worksheet and
// builds each row's statement, a few thousand rows ahead at most; the other executes them in
// order, one statement per row, each as soon as the one before has ended, so that the
// reading is done while the server works. When the connection says its statement is overdue
// (the link to the server is gone), the dialog's thread gives the run up at once; the run's
// threads, the inserting one still held by the driver, end by themselves later and release
// the worksheet and the connection they share.
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
    // Waits up to `milliseconds`; true once the run has ended (both its threads).
    bool Wait(DWORD milliseconds);
    // Rows inserted so far.
    int Landed() const;
    // Once the run has ended: raises here what stopped it on its own thread, if anything did.
    void RethrowFailure() const;
    // True when the statement under way is overdue and the run should be given up.
    bool IsOverdue() const;
    // Stops waiting for the run: no further row is read or inserted, and its threads end by
    // themselves.
    void GiveUp();

private:
    struct CShared;
    static DWORD WINAPI ReadingMain(void* shared);
    static DWORD WINAPI InsertingMain(void* shared);
    void StartThread(LPTHREAD_START_ROUTINE main);
    std::shared_ptr<CShared> m_shared;
    HANDLE m_threads[2] = {};
    DWORD m_nThreads = 0;
};
