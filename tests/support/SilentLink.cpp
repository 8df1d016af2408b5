#include "support/SilentLink.h"
#include <algorithm>
#include <gtest/gtest.h>

struct CSilentLink::Pair {
    SOCKET client = INVALID_SOCKET;
    SOCKET server = INVALID_SOCKET;
};

namespace {
SOCKET LoopbackSocket(int port, bool listening)
{
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(port));
    int ok = listening ? ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(s, 8) == 0
                       : ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (!ok) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

bool SendAll(SOCKET s, const char* data, int count)
{
    while (count > 0) {
        int sent = ::send(s, data, count, 0);
        if (sent <= 0) return false;
        data += sent;
        count -= sent;
    }
    return true;
}
}

CSilentLink::CSilentLink(int targetPort, DWORD resetAfterMs) : m_nTarget(targetPort), m_nResetAfter(resetAfterMs)
{
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    m_listener = LoopbackSocket(0, true);
    EXPECT_NE(INVALID_SOCKET, m_listener) << "the relay cannot listen";
    sockaddr_in a = {};
    int length = sizeof a;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length);
    m_nPort = ntohs(a.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
    m_watchdog = std::thread([this] { ResetWhenSilentTooLong(); });
}

CSilentLink::~CSilentLink()
{
    Stop();
    ::WSACleanup();
}

CString CSilentLink::Server() const
{
    CString server;
    server.Format("127.0.0.1,%d", m_nPort);
    return server;
}

void CSilentLink::FallSilentAfter(size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bArmed = true;
    m_nSilentFrom = m_nClientBytes + bytes;
}

ULONGLONG CSilentLink::SilentSince()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nSilentSince;
}

void CSilentLink::Accept()
{
    for (;;) {
        // Waits in short steps, so that Stop is seen without relying on a close to wake it.
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval step = {0, 100000};
        int ready = ::select(0, &readable, nullptr, nullptr, &step);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bStopping || ready < 0) return;
        }
        if (ready == 0) continue;
        SOCKET client = ::accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        auto pair = std::make_shared<Pair>();
        pair->client = client;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStopping) {
            ::closesocket(client);
            return;
        }
        // A connection made while the link is silent reaches nothing.
        if (!m_nSilentSince) pair->server = LoopbackSocket(m_nTarget, false);
        m_pairs.push_back(pair);
        m_threads.emplace_back([this, pair] { Relay(pair, true); });
        if (pair->server != INVALID_SOCKET) m_threads.emplace_back([this, pair] { Relay(pair, false); });
    }
}

int CSilentLink::Passable(const unsigned char* data, int count, size_t& inPacket, size_t& packetLength)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_nSilentSince) return 0;
    int passable = 0;
    for (; passable < count; ++passable) {
        // An 8-byte header opens each packet; bytes 2 and 3 give its whole length, big-endian.
        if (inPacket == 2) packetLength = size_t(data[passable]) << 8;
        if (inPacket == 3) packetLength = std::max<size_t>(packetLength | data[passable], 8);
        bool packetEnd = ++inPacket >= 8 && inPacket == packetLength;
        if (packetEnd && m_bArmed && m_nClientBytes + passable + 1 > m_nSilentFrom) {
            m_nSilentSince = ::GetTickCount64();
            break;
        }
        if (packetEnd) inPacket = 0;
    }
    m_nClientBytes += static_cast<size_t>(passable);
    return passable;
}

void CSilentLink::Relay(std::shared_ptr<Pair> pair, bool fromClient)
{
    SOCKET from = fromClient ? pair->client : pair->server;
    SOCKET to = fromClient ? pair->server : pair->client;
    size_t inPacket = 0, packetLength = 0;
    char buffer[4096];
    for (;;) {
        int received = ::recv(from, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        int passable = fromClient ? Passable(reinterpret_cast<unsigned char*>(buffer), received, inPacket, packetLength)
                                  : (SilentSince() ? 0 : received);
        // What a silent link holds is read and dropped: neither end ever sees it refused.
        if (passable > 0 && !SendAll(to, buffer, passable)) break;
    }
    // A connection that ends while the link works ends at the other side too; a silent link
    // delivers not even that.
    if (!SilentSince() && to != INVALID_SOCKET) ::shutdown(to, SD_SEND);
}

void CSilentLink::ResetWhenSilentTooLong()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bStopping) {
        if (m_nSilentSince && ::GetTickCount64() - m_nSilentSince >= m_nResetAfter) {
            for (auto& pair : m_pairs)
                for (SOCKET s : {pair->client, pair->server})
                    if (s != INVALID_SOCKET) ::shutdown(s, SD_BOTH);
            return;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(100));
    }
}

void CSilentLink::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bStopping) return;
        m_bStopping = true;
    }
    m_changed.notify_all();
    m_acceptor.join();
    ::closesocket(m_listener);
    m_watchdog.join();
    for (auto& pair : m_pairs)
        for (SOCKET s : {pair->client, pair->server})
            if (s != INVALID_SOCKET) ::shutdown(s, SD_BOTH);
    for (std::thread& t : m_threads) t.join();
    for (auto& pair : m_pairs)
        for (SOCKET s : {pair->client, pair->server})
            if (s != INVALID_SOCKET) ::closesocket(s);
}
