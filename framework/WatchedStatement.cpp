#include "framework/WatchedStatement.h"
#include "framework/AdoError.h"
#include <exception>
#include <memory>

namespace {
// How often the waiting thread asks the connection.
constexpr DWORD kWatchInterval = 250;

struct CWatchedCall {
    std::function<void()> statement;
    std::exception_ptr failure;   // written by the statement's thread before it ends
};

DWORD WINAPI StatementMain(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CWatchedCall>> call(static_cast<std::shared_ptr<CWatchedCall>*>(parameter));
    try {
        (*call)->statement();
    } catch (...) {
        (*call)->failure = std::current_exception();
    }
    (*call)->statement = nullptr;   // the references it held go with the thread's end
    return 0;
}

// Closes the thread's handle however the wait ends.
struct CThreadHandle {
    HANDLE handle;
    ~CThreadHandle() { ::CloseHandle(handle); }
};
}

bool RunWatchedStatement(const CConnectionPtr& connection, std::function<void()> statement)
{
    auto call = std::make_shared<CWatchedCall>();
    call->statement = std::move(statement);
    auto parameter = std::make_unique<std::shared_ptr<CWatchedCall>>(call);
    HANDLE handle = ::CreateThread(nullptr, 0, StatementMain, parameter.get(), 0, nullptr);
    if (!handle) ThrowAdoError(E_FAIL, "The statement cannot run: no thread can be made.");
    parameter.release();   // the thread owns it now
    CThreadHandle thread{handle};
    while (::WaitForSingleObject(thread.handle, kWatchInterval) == WAIT_TIMEOUT) {
        if (connection->IsStatementOverdue()) return false;
    }
    if (call->failure) std::rethrow_exception(call->failure);
    return true;
}
