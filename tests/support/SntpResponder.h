// An SNTP server for tests on 127.0.0.1: its clock runs ahead of ours by a
// chosen amount, and it can answer slowly, wrongly, or not at all. Several
// may run at once, each on a port of its own.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class CSntpResponder
{
public:
    enum Fault
    {
        None,
        ShortReply, // 40 bytes
        ClientMode, // mode 3 instead of 4
        Version0,
        Version5,
        Stratum0,  // a refusal (kiss-o'-death)
        Stratum16, // unsynchronised
        Leap3,     // alarm: server clock not synchronised
        ZeroTransmit,
        WrongOriginate, // a stale or forged datagram
        Silent,         // never answers
        KissDeny,       // kiss-o'-death codes: stop asking this server
        KissRstr,
        KissRate,
    };

    struct Behaviour
    {
        double dClockAhead = 0;   // seconds the server's clock is ahead of ours
        DWORD dwTurnaroundMs = 0; // between receiving and transmitting
        DWORD dwReplyDelayMs = 0; // after transmitting, before the datagram leaves
        Fault fault = None;
        // The faulty datagram is followed by a proper reply, as when a
        // stray datagram arrives just before the real one.
        bool bThenAnswer = false;
        int nReplyBytes = 48; // more: zeros where extension fields or a MAC go
        int nIgnoreFirst = 0; // requests left unanswered before it answers
        // Extra holding back before the reply, by request number from 0.
        std::vector<DWORD> extraDelaysMs;
    };

    CSntpResponder();
    ~CSntpResponder();
    CSntpResponder(const CSntpResponder&) = delete;
    CSntpResponder& operator=(const CSntpResponder&) = delete;

    USHORT GetPort() const { return m_nPort; }
    void SetBehaviour(const Behaviour& behaviour);
    int GetRequestCount() const { return m_nRequests; }
    // The last datagram received, as it arrived.
    std::vector<BYTE> GetLastRequest();

private:
    void Serve();
    Behaviour GetBehaviour();

    SOCKET m_hSocket = INVALID_SOCKET;
    USHORT m_nPort = 0;
    std::mutex m_mutex;
    Behaviour m_behaviour;
    std::vector<BYTE> m_lastRequest;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nRequests{0};
    std::thread m_thread;
};
