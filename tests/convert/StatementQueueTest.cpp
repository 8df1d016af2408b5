// The queue between the thread that reads a run's rows and the thread that inserts them.
#include "convert/StatementQueue.h"
#include <gtest/gtest.h>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace {
CString Numbered(int i)
{
    CString s;
    s.Format("insert into t(n) values(%d);", i);
    return s;
}
}

// Every statement comes out once and in order, many more than the queue holds (so the reader
// waits for room and is woken again), and after the last one the reader's word: the end of
// the worksheet or what stopped the reading.
TEST(StatementQueueTest, StatementsArriveInOrderThenTheReadersEnd)
{
    struct Case {
        int statements;
        const char* failure;   // nullptr: the worksheet ended
    };
    for (const Case& k : {Case{5000, nullptr}, Case{700, "the workbook is damaged"}, Case{0, nullptr}}) {
        CStatementQueue queue;
        std::thread reader([&] {
            for (int i = 0; i < k.statements; ++i) ASSERT_TRUE(queue.Push(Numbered(i)));
            queue.Finish(k.failure ? std::make_exception_ptr(std::runtime_error(k.failure)) : nullptr);
        });
        int taken = 0;
        while (std::optional<CString> s = queue.Pop()) {
            ASSERT_STREQ(Numbered(taken), *s);
            ++taken;
        }
        reader.join();
        EXPECT_EQ(k.statements, taken);
        std::exception_ptr failure = queue.ReadFailure();
        if (!k.failure) {
            EXPECT_FALSE(failure);
            continue;
        }
        try {
            std::rethrow_exception(failure);
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(k.failure, e.what());
        }
    }
}

// Once the inserting side stops (a refused row, or the dialog giving the run up), a reader
// waiting for room is let go and told that no more statements are wanted.
TEST(StatementQueueTest, StoppingLetsAWaitingReaderGo)
{
    CStatementQueue queue;
    std::atomic<int> pushed{0};
    std::thread reader([&] {
        while (queue.Push(Numbered(pushed))) ++pushed;
    });
    while (queue.Pop() && pushed < 1000) {
    }   // the reader fills the queue again and again
    queue.Stop();
    reader.join();
    EXPECT_GE(pushed, 1000);
    EXPECT_FALSE(queue.Push("insert into t(n) values(0);"));
}
