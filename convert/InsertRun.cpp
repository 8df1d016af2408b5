#include "convert/InsertRun.h"
#include "convert/SqlValues.h"
#include "convert/Statements.h"
#include "framework/AdoError.h"

// Everything the run's thread uses, kept alive by whichever side lets go of it last.
struct CInsertRun::CShared {
    std::shared_ptr<CWorksheetRows> sheet;
    CConnectionPtr connection;
    CInsertPlan plan;
    std::atomic<int> landed{0};
    std::atomic<bool> givenUp{false};
    std::exception_ptr failure;   // written by the run's thread before it ends

    void InsertAll();
};

void CInsertRun::CShared::InsertAll()
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
        connection->Execute(BuildInsertStatement(plan.insertHead, values));
        // A statement the dialog gave up on may still end well: it is counted, as it landed,
        // but no further row goes in unwatched.
        landed.fetch_add(1);
        if (givenUp) return;
        rs.MoveNext();
    }
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
    if (!m_thread) return;
    if (!m_shared->givenUp) ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
}

DWORD WINAPI CInsertRun::ThreadMain(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CShared>> shared(static_cast<std::shared_ptr<CShared>*>(parameter));
    try {
        (*shared)->InsertAll();
    } catch (...) {
        (*shared)->failure = std::current_exception();
    }
    return 0;
}

void CInsertRun::Start()
{
    auto parameter = std::make_unique<std::shared_ptr<CShared>>(m_shared);
    m_thread = ::CreateThread(nullptr, 0, ThreadMain, parameter.get(), 0, nullptr);
    if (!m_thread) ThrowAdoError(E_FAIL, "The rows cannot be inserted: no thread can be made.");
    parameter.release();   // the thread owns it now
}

bool CInsertRun::Wait(DWORD milliseconds)
{
    return ::WaitForSingleObject(m_thread, milliseconds) == WAIT_OBJECT_0;
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
}
