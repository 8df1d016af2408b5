#include "convert/StatementQueue.h"

namespace {
// Holds the queue's lock for a scope.
class CExclusive {
public:
    explicit CExclusive(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~CExclusive() { ::ReleaseSRWLockExclusive(&m_lock); }
    CExclusive(const CExclusive&) = delete;
    CExclusive& operator=(const CExclusive&) = delete;

private:
    SRWLOCK& m_lock;
};
}

bool CStatementQueue::Push(CString statement)
{
    bool wake;
    {
        CExclusive hold(m_lock);
        while (!m_stopped && m_items.size() >= kCapacity) {
            m_readerWaits = true;
            ::SleepConditionVariableSRW(&m_writable, &m_lock, INFINITE, 0);
            m_readerWaits = false;
        }
        if (m_stopped) return false;
        m_items.push_back(std::move(statement));
        wake = m_inserterWaits;
    }
    if (wake) ::WakeConditionVariable(&m_readable);
    return true;
}

void CStatementQueue::Finish(std::exception_ptr failure)
{
    {
        CExclusive hold(m_lock);
        m_finished = true;
        m_failure = std::move(failure);
    }
    ::WakeConditionVariable(&m_readable);
}

std::optional<CString> CStatementQueue::Pop()
{
    std::optional<CString> statement;
    bool wake;
    {
        CExclusive hold(m_lock);
        while (m_items.empty() && !m_finished) {
            m_inserterWaits = true;
            ::SleepConditionVariableSRW(&m_readable, &m_lock, INFINITE, 0);
            m_inserterWaits = false;
        }
        if (m_items.empty()) return std::nullopt;
        statement = std::move(m_items.front());
        m_items.pop_front();
        wake = m_readerWaits && m_items.size() <= kRefillAt;
    }
    if (wake) ::WakeConditionVariable(&m_writable);
    return statement;
}

std::exception_ptr CStatementQueue::ReadFailure()
{
    CExclusive hold(m_lock);
    return m_failure;
}

void CStatementQueue::Stop()
{
    {
        CExclusive hold(m_lock);
        m_stopped = true;
    }
    ::WakeConditionVariable(&m_writable);
}
