#include "convert/InsertRun.h"
#include "convert/SqlValues.h"
#include "convert/StatementQueue.h"
#include "convert/Statements.h"
#include "framework/AdoError.h"

// Everything the run's threads use, kept alive by whichever side lets go of it last.
struct CInsertRun::CShared {
    std::shared_ptr<CWorksheetRows> sheet;
    CConnectionPtr connection;
    CInsertPlan plan;
    CStatementQueue statements;
    std::atomic<int> landed{0};
    std::atomic<bool> givenUp{false};
    std::exception_ptr failure;   // written by the inserting thread before it ends

    void ReadAll();
    void InsertAll();
};

void CInsertRun::CShared::ReadAll()
{
    CRecordset& rs = sheet->rs;
    const size_t columns = plan.typeRows.size();
    CStringArray values;
    while (!rs.IsEOF()) {
        values.RemoveAll();
        for (size_t i = 0; i < columns; ++i) {
            CString cell;
            rs.GetFieldValue(plan.fieldIndexes[i], cell);
            values.Add(FormatSqlValue(plan.typeRows[i], cell));
        }
        if (!statements.Push(BuildInsertStatement(plan.insertHead, values))) return;
        rs.MoveNext();
    }
}

// The statements go in the order of the rows; the first failure in that order ends the run:
// a refused insert, or the reading's failure once every row before it has gone in.
void CInsertRun::CShared::InsertAll()
{
    while (std::optional<CString> statement = statements.Pop()) {
        connection->Execute(*statement);
        landed.fetch_add(1);
        // A statement the dialog gave up on may still end well; no further row goes in
        // unwatched.
        if (givenUp) return;
    }
    if (std::exception_ptr readFailure = statements.ReadFailure()) std::rethrow_exception(readFailure);
}

CInsertRun::CInsertRun(std::shared_ptr<CWorksheetRows> sheet, CConnectionPtr connection, CInsertPlan plan)
    : m_shared(std::make_shared<CShared>())
{
    m_shared->sheet = std::move(sheet);
    m_shared->connection = std::move(connection);
    m_shared->plan = std::move(plan);
}

CInsertRun::~CInsertRun()
{
    if (m_nThreads && !m_shared->givenUp) ::WaitForMultipleObjects(m_nThreads, m_threads, TRUE, INFINITE);
    for (DWORD i = 0; i < m_nThreads; ++i) ::CloseHandle(m_threads[i]);
}

DWORD WINAPI CInsertRun::ReadingMain(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CShared>> shared(static_cast<std::shared_ptr<CShared>*>(parameter));
    CStatementQueue& statements = (*shared)->statements;
    try {
        (*shared)->ReadAll();
        statements.Finish();
    } catch (...) {
        statements.Finish(std::current_exception());
    }
    return 0;
}

DWORD WINAPI CInsertRun::InsertingMain(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CShared>> shared(static_cast<std::shared_ptr<CShared>*>(parameter));
    try {
        (*shared)->InsertAll();
    } catch (...) {
        (*shared)->failure = std::current_exception();
    }
    (*shared)->statements.Stop();   // the reading ends with the inserting
    return 0;
}

void CInsertRun::StartThread(LPTHREAD_START_ROUTINE main)
{
    auto parameter = std::make_unique<std::shared_ptr<CShared>>(m_shared);
    HANDLE thread = ::CreateThread(nullptr, 0, main, parameter.get(), 0, nullptr);
    if (!thread) {
        GiveUp();
        ThrowAdoError(E_FAIL, "The rows cannot be inserted: no thread can be made.");
    }
    parameter.release();   // the thread owns it now
    m_threads[m_nThreads++] = thread;
}

void CInsertRun::Start()
{
    StartThread(ReadingMain);
    StartThread(InsertingMain);
}

bool CInsertRun::Wait(DWORD milliseconds)
{
    return ::WaitForMultipleObjects(m_nThreads, m_threads, TRUE, milliseconds) == WAIT_OBJECT_0;
}

int CInsertRun::Landed() const
{
    return m_shared->landed;
}

void CInsertRun::RethrowFailure() const
{
    if (m_shared->failure) std::rethrow_exception(m_shared->failure);
}

bool CInsertRun::IsOverdue() const
{
    return m_shared->connection->IsStatementOverdue();
}

void CInsertRun::GiveUp()
{
    m_shared->givenUp = true;
    m_shared->statements.Stop();
}
