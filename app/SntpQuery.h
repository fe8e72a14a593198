// One SNTP exchange with a time server, and setting the system clock from its
// answer under the system-time privilege. Classes: SntpResult, CSntpQuery.
#pragma once

#include "app/NtpStamp.h"

#include <winsock2.h>

#include <windows.h>

#include <vector>

class CClockPlatform;
class CUdpLink;

// What one successful exchange measured. Offsets are positive when the local
// clock is behind the server.
struct SntpResult
{
    int nLeapIndicator = 0;
    int nStratum = 0;
    CNtpStamp originate;   // T1, our transmit time as the server echoed it
    CNtpStamp receive;     // T2
    CNtpStamp transmit;    // T3
    CNtpStamp destination; // T4, local clock when the reply became readable
    double dDelay = 0;     // seconds
    double dOffset = 0;    // seconds

    // Delay and offset from the four timestamps.
    void Measure();
};

class CSntpQuery
{
public:
    // The public server the program asks first; its users are in mainland China.
    static constexpr const char* kPublicServer = "ntp.aliyun.com";
    static constexpr USHORT kNtpPort = 123;
    static constexpr DWORD kReplyTimeoutMs = 5000;
    // Once a server answers, more samples, each awaited this long at most.
    // Four requests in all stay within what public servers take from a
    // one-shot client.
    static constexpr DWORD kSampleTimeoutMs = 1000;
    static constexpr int kMaxRequests = 4;
    // The last-error value when the server sent a kiss-o'-death: it must not
    // be asked again.
    static constexpr DWORD kRefusedError = WSAECONNREFUSED;

    explicit CSntpQuery(CClockPlatform& platform);
    CSntpQuery();

    // Every wait ends at once when this event is signalled (with the
    // last-error value ERROR_CANCELLED), and none lasts past the deadline
    // (a GetTickCount value) once one is set.
    void SetCancelEvent(HANDLE hCancel) { m_hCancel = hCancel; }
    void SetDeadline(DWORD dwDeadlineTick);
    bool IsCancelled() const { return m_hCancel != NULL && ::WaitForSingleObject(m_hCancel, 0) == WAIT_OBJECT_0; }
    // Requests the next QueryServer may send (at least one), so that a
    // server asked again in the same synchronisation gets no more than
    // kMaxRequests in all; and those the last one sent.
    void SetRequestLimit(int nLimit)
    {
        m_nRequestLimit = nLimit < 1 ? 1 : nLimit > kMaxRequests ? kMaxRequests : nLimit;
    }
    int GetRequestsSent() const { return m_nRequestsSent; }
    // Only tests wait less than kReplyTimeoutMs for a first answer.
    void SetReplyTimeout(DWORD dwTimeoutMs) { m_dwTimeout = dwTimeoutMs; }

    // Asks one server: its first valid reply within the reply time-out, then
    // up to three more, keeping the sample with the least round-trip delay.
    // Datagrams that are not a sane answer to the request outstanding are
    // skipped. On FALSE the last-error value says why: 10060 for no valid
    // reply in time, kRefusedError for a kiss-o'-death, ERROR_CANCELLED,
    // else the socket layer's error.
    BOOL QueryServer(LPCSTR pszHost, SntpResult& result, USHORT nPort);

    // Sets the system clock to a UTC stamp; non-zero when it was set.
    BOOL SetClockTo(const CNtpStamp& target);

private:
    enum ExchangeResult
    {
        Answered,
        NoAnswer,
        Kissed,
        Cancelled,
        LinkFailed,
    };

    ExchangeResult Exchange(CUdpLink& link, DWORD dwWaitMs, SntpResult& sample);
    // The nominal wait, cut to what is left before the deadline.
    DWORD WaitWithinDeadline(DWORD dwWaitMs) const;

    BOOL EnableClockPrivilege();
    void RestoreClockPrivilege();

    CClockPlatform& m_platform;
    DWORD m_dwTimeout = kReplyTimeoutMs;
    HANDLE m_hCancel = NULL;
    int m_nRequestLimit = kMaxRequests;
    int m_nRequestsSent = 0;
    bool m_bDeadline = false;
    DWORD m_dwDeadlineTick = 0;
    std::vector<BYTE> m_reply; // any datagram fits, so none is refused for its size
    HANDLE m_hToken = NULL;
    TOKEN_PRIVILEGES m_privileges = {};
    int m_bPrivilegeEnabled = 0;
};
