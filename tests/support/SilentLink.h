// A relay on the loopback between the program and a stand-in that can fall silent the way a
// VPN or Wi-Fi link does when it drops without a reset: from then on it passes nothing in
// either direction but keeps both connections open, so neither end learns that anything
// happened.
#pragma once
#include <winsock2.h>
#include "framework/String.h"
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CSilentLink {
public:
    // Relays every connection made to Server() to the stand-in on `targetPort`. A link left
    // silent for `resetAfterMs` is reset (every connection closed), so that a test waiting in
    // vain for the program to give up ends instead of hanging.
    explicit CSilentLink(int targetPort, DWORD resetAfterMs = 75000);
    ~CSilentLink();
    CSilentLink(const CSilentLink&) = delete;
    CSilentLink& operator=(const CSilentLink&) = delete;

    // "127.0.0.1,port" of the relay.
    CString Server() const;
    // The link falls silent inside the first packet the client sends that ends more than
    // `bytes` bytes after this call: that packet's last byte and all that follows, either
    // way, are never delivered, so its statement never reaches the server.
    void FallSilentAfter(size_t bytes);
    // GetTickCount64 when the link fell silent; 0 while it has not.
    ULONGLONG SilentSince();
    // Closes every connection and stops relaying.
    void Stop();

private:
    struct Pair;
    void Accept();
    void Relay(std::shared_ptr<Pair> pair, bool fromClient);
    // How many of the `count` bytes the client sent now may pass; marks the link silent when
    // they hold the packet end at which it falls silent. `inPacket`/`packetLength` follow the
    // TDS packet headers of that connection's stream.
    int Passable(const unsigned char* data, int count, size_t& inPacket, size_t& packetLength);
    void ResetWhenSilentTooLong();

    int m_nTarget;
    DWORD m_nResetAfter;
    SOCKET m_listener = INVALID_SOCKET;
    int m_nPort = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bStopping = false;
    bool m_bArmed = false;
    size_t m_nClientBytes = 0;   // passed from clients to the server so far
    size_t m_nSilentFrom = 0;    // a packet ending beyond this byte count falls silent
    ULONGLONG m_nSilentSince = 0;
    std::vector<std::shared_ptr<Pair>> m_pairs;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
    std::thread m_watchdog;
};
