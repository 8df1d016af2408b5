// The statements of a run on their way from the thread that reads the worksheet to the thread
// that inserts them: a bounded queue, so that reading stays at most a few thousand rows ahead
// (well under a megabyte of statements), with the reader's end (and what stopped it, if
// anything) passed behind the last statement. The reader fills half the queue at a time: few
// wake-ups of its own beside the inserts, which wait on the server row by row.
// The waits are the system's slim locks and condition variables, which cost no trip to the
// kernel while neither side waits.
#pragma once
#include "framework/String.h"
#include <windows.h>
#include <deque>
#include <exception>
#include <optional>

class CStatementQueue {
public:
    CStatementQueue() = default;
    CStatementQueue(const CStatementQueue&) = delete;
    CStatementQueue& operator=(const CStatementQueue&) = delete;

    // Reader: queues the next statement, waiting while the queue is full; false once the
    // queue is stopped (the statement is then dropped and no more are wanted).
    bool Push(CString statement);
    // Reader: no statement follows; `failure` is what stopped the reading, if anything did.
    void Finish(std::exception_ptr failure = nullptr);
    // Inserter: the next statement, waiting while there is none yet; nullopt once the reader
    // has finished and every statement has been taken.
    std::optional<CString> Pop();
    // What stopped the reading, once Pop has returned nullopt; empty when the worksheet ended.
    std::exception_ptr ReadFailure();
    // Inserter or dialog: no more statements are wanted; the reader's next Push returns false.
    void Stop();

private:
    static constexpr size_t kCapacity = 4096;
    static constexpr size_t kRefillAt = kCapacity / 2;   // a waiting reader wakes this low
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_readable = CONDITION_VARIABLE_INIT;
    CONDITION_VARIABLE m_writable = CONDITION_VARIABLE_INIT;
    std::deque<CString> m_items;
    bool m_finished = false;
    bool m_stopped = false;
    bool m_readerWaits = false;
    bool m_inserterWaits = false;
    std::exception_ptr m_failure;
};
