#include "testing/driver/SentMessage.h"
#include "testing/driver/Console.h"
#include "testing/driver/Failure.h"

struct SentMessage::Call {
    HWND h;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool wide;
    std::vector<char> out;
    LRESULT result;
    LONG abandoned;   // the owner is gone: the thread frees the call
};

SentMessage::SentMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp, bool wide, size_t outBytes)
    : m_call(new Call{h, msg, wp, lp, wide, std::vector<char>(outBytes + 2, '\0'), 0, 0})
{
    if (outBytes) m_call->lp = reinterpret_cast<LPARAM>(m_call->out.data());
    m_thread = ::CreateThread(nullptr, 0, Run, m_call, 0, nullptr);
    if (!m_thread) {
        delete m_call;
        throw DriverFailure("cannot start a thread");
    }
}

SentMessage::~SentMessage()
{
    // A call still waiting for its answer keeps its buffer until the answer comes.
    if (::WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0 || ::InterlockedExchange(&m_call->abandoned, 1) != 0)
        delete m_call;
    ::CloseHandle(m_thread);
}

DWORD WINAPI SentMessage::Run(LPVOID p)
{
    Call* call = static_cast<Call*>(p);
    call->result = call->wide ? ::SendMessageW(call->h, call->msg, call->wp, call->lp)
                              : ::SendMessageA(call->h, call->msg, call->wp, call->lp);
    if (::InterlockedExchange(&call->abandoned, 1) != 0) delete call;
    return 0;
}

bool SentMessage::Wait(DWORD ms) const
{
    return ::WaitForSingleObject(m_thread, ms) == WAIT_OBJECT_0;
}

LRESULT SentMessage::Result() const
{
    return m_call->result;
}

std::string SentMessage::Text() const
{
    if (!m_call->wide) return std::string(m_call->out.data());
    return WideToAnsi(reinterpret_cast<const wchar_t*>(m_call->out.data()));
}
