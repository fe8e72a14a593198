#include "app/SntpQuery.h"

#include "app/ClockPlatform.h"
#include "app/UdpLink.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace
{
const int kRequestBytes = 48;
// The largest UDP payload: extension fields and a MAC only follow the 48
// bytes read.
const int kReplyBufferBytes = 65536;
const BYTE kClientRequestHeader = 0x1B; // leap indicator 0, version 3, mode 3 (client)

const int kReferenceIdOffset = 12;
const int kOriginateOffset = 24;
const int kReceiveOffset = 32;
const int kTransmitOffset = 40;

const DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

// Kiss-o'-death codes that tell a client to stop asking this server.
const char* const kStopCodes[] = {"DENY", "RSTR", "RATE"};

BOOL FailKeepingError(CUdpLink& link)
{
    const DWORD dwError = GetLastError();
    link.Close();
    SetLastError(dwError);
    return FALSE;
}

BOOL FailWith(CUdpLink& link, DWORD dwError)
{
    link.Close();
    SetLastError(dwError);
    return FALSE;
}

// A name looked up on a thread of its own: the look-up cannot be cut short,
// but the wait for it can. The thread keeps the record alive when the
// waiter has given up.
struct NameLookup
{
    NameLookup(LPCSTR pszHost) : strHost(pszHost), hDone(::CreateEventW(NULL, TRUE, FALSE, NULL)) {}
    ~NameLookup() { ::CloseHandle(hDone); }

    std::string strHost;
    HANDLE hDone;
    ULONG nAddress = INADDR_NONE;
    DWORD dwError = 0;
};

void LookUp(const std::shared_ptr<NameLookup>& pLookup)
{
    const hostent* pHost = gethostbyname(pLookup->strHost.c_str());
    if (pHost == NULL)
        pLookup->dwError = WSAGetLastError();
    else if (pHost->h_addrtype != AF_INET || pHost->h_addr_list[0] == NULL)
        pLookup->dwError = WSAHOST_NOT_FOUND;
    else
        memcpy(&pLookup->nAddress, pHost->h_addr_list[0], sizeof(pLookup->nAddress));
    ::SetEvent(pLookup->hDone);
}

// INADDR_NONE with the last-error value set when the name is unknown, the
// wait ran out (WSAETIMEDOUT) or was cancelled (ERROR_CANCELLED).
ULONG ResolveHost(LPCSTR pszHost, DWORD dwWaitMs, HANDLE hCancel)
{
    const ULONG nAddress = inet_addr(pszHost);
    if (nAddress != INADDR_NONE)
        return nAddress;
    const auto pLookup = std::make_shared<NameLookup>(pszHost);
    std::thread(&LookUp, pLookup).detach();
    switch (CUdpLink::WaitFor(pLookup->hDone, dwWaitMs, hCancel))
    {
    case CUdpLink::Readable:
        if (pLookup->nAddress != INADDR_NONE)
            return pLookup->nAddress;
        SetLastError(pLookup->dwError);
        break;
    case CUdpLink::Cancelled: SetLastError(ERROR_CANCELLED); break;
    default: SetLastError(WSAETIMEDOUT); break;
    }
    return INADDR_NONE;
}

// Only a server's answer to the request outstanding counts: an earlier
// request's late reply or a forged datagram fails the originate check.
bool IsAnswerTo(const BYTE* pReply, int nBytes, const CNtpStamp& sent)
{
    if (nBytes < kRequestBytes)
        return false;
    const int nVersion = (pReply[0] >> 3) & 7;
    const int nMode = pReply[0] & 7;
    return nMode == 4 && nVersion >= 1 && nVersion <= 4 && CNtpStamp::FromNetwork(pReply + kOriginateOffset) == sent;
}

bool IsKissToStop(const BYTE* pReply)
{
    if (pReply[1] != 0)
        return false;
    for (const char* pszCode : kStopCodes)
        if (memcmp(pReply + kReferenceIdOffset, pszCode, 4) == 0)
            return true;
    return false;
}

// A synchronised server's time: anything else would set the clock from
// garbage, and zeros would put it back to 1900.
bool IsUsableTime(const BYTE* pReply)
{
    const int nLeap = pReply[0] >> 6;
    const int nStratum = pReply[1];
    if (nLeap == 3 || nStratum < 1 || nStratum > 15) // stratum 0 is a refusal, 16 unsynchronised
        return false;
    return !CNtpStamp::FromNetwork(pReply + kTransmitOffset).IsZero();
}
} // namespace

void SntpResult::Measure()
{
    const CNtpStamp& t1 = originate;
    const CNtpStamp& t2 = receive;
    const CNtpStamp& t3 = transmit;
    const CNtpStamp& t4 = destination;
    dDelay = (t4 - t1) - (t3 - t2);
    dOffset = ((t2 - t1) + (t3 - t4)) / 2;
}

CSntpQuery::CSntpQuery(CClockPlatform& platform) : m_platform(platform) {}

CSntpQuery::CSntpQuery() : CSntpQuery(CClockPlatform::System()) {}

void CSntpQuery::SetDeadline(DWORD dwDeadlineTick)
{
    m_bDeadline = true;
    m_dwDeadlineTick = dwDeadlineTick;
}

DWORD CSntpQuery::WaitWithinDeadline(DWORD dwWaitMs) const
{
    if (!m_bDeadline)
        return dwWaitMs;
    // Signed: a deadline already passed leaves nothing.
    const LONG nLeft = static_cast<LONG>(m_dwDeadlineTick - ::GetTickCount());
    return nLeft <= 0 ? 0 : std::min(dwWaitMs, static_cast<DWORD>(nLeft));
}

BOOL CSntpQuery::QueryServer(LPCSTR pszHost, SntpResult& result, USHORT nPort)
{
    m_nRequestsSent = 0;
    CUdpLink link;
    if (!link.Create())
        return FALSE;

    const ULONG nAddress = ResolveHost(pszHost, WaitWithinDeadline(m_dwTimeout), m_hCancel);
    if (nAddress == INADDR_NONE)
        return FailKeepingError(link);
    if (!link.Connect(nAddress, nPort))
        return FailKeepingError(link);

    // Past the deadline nothing more is sent: no answer could be waited for.
    const DWORD dwFirstWaitMs = WaitWithinDeadline(m_dwTimeout);
    if (dwFirstWaitMs == 0)
        return FailWith(link, WSAETIMEDOUT);
    switch (Exchange(link, dwFirstWaitMs, result))
    {
    case Answered: break;
    case NoAnswer: return FailWith(link, WSAETIMEDOUT);
    case Kissed: return FailWith(link, kRefusedError);
    case Cancelled: return FailWith(link, ERROR_CANCELLED);
    case LinkFailed: return FailKeepingError(link);
    }

    // The sample that spent least time on the way is the one least skewed by
    // an uneven path or a thread scheduled late.
    while (m_nRequestsSent < m_nRequestLimit)
    {
        const DWORD dwWaitMs = WaitWithinDeadline(kSampleTimeoutMs);
        if (dwWaitMs == 0)
            break;
        SntpResult sample;
        const ExchangeResult exchange = Exchange(link, dwWaitMs, sample);
        if (exchange == Cancelled)
            return FailWith(link, ERROR_CANCELLED);
        if (exchange == Answered && sample.dDelay < result.dDelay)
            result = sample;
        else if (exchange != Answered && exchange != NoAnswer)
            break; // a server asking us to stop, or a broken link: keep what we have
    }
    link.Close();
    return TRUE;
}

CSntpQuery::ExchangeResult CSntpQuery::Exchange(CUdpLink& link, DWORD dwWaitMs, SntpResult& sample)
{
    BYTE request[kRequestBytes] = {};
    request[0] = kClientRequestHeader;
    const CNtpStamp sent = CNtpStamp::Now(m_platform);
    sent.ToNetwork(request + kTransmitOffset);
    if (!link.Send(request, kRequestBytes))
        return LinkFailed;
    ++m_nRequestsSent;

    if (m_reply.size() < static_cast<size_t>(kReplyBufferBytes))
        m_reply.resize(kReplyBufferBytes);
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        const DWORD dwElapsed = ::GetTickCount() - dwStart;
        if (dwElapsed >= dwWaitMs)
            return NoAnswer;
        switch (link.WaitReadable(dwWaitMs - dwElapsed, m_hCancel))
        {
        case CUdpLink::Readable: break;
        case CUdpLink::TimedOut: return NoAnswer;
        case CUdpLink::Cancelled: return Cancelled;
        case CUdpLink::WaitFailed: return LinkFailed;
        }

        // T4 is taken before the datagram is read, as close to its arrival as we can.
        const CNtpStamp destination = CNtpStamp::Now(m_platform);
        BYTE* const pReply = m_reply.data();
        memset(pReply, 0, kRequestBytes);
        const int nBytes = link.Receive(pReply, kReplyBufferBytes);
        if (nBytes == SOCKET_ERROR)
        {
            if (WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            return LinkFailed; // for instance the peer's port is closed
        }
        if (!IsAnswerTo(pReply, nBytes, sent))
            continue;
        if (IsKissToStop(pReply))
            return Kissed;
        if (!IsUsableTime(pReply))
            continue;

        sample.nLeapIndicator = pReply[0] >> 6;
        sample.nStratum = pReply[1];
        sample.originate = CNtpStamp::FromNetwork(pReply + kOriginateOffset);
        sample.receive = CNtpStamp::FromNetwork(pReply + kReceiveOffset);
        sample.transmit = CNtpStamp::FromNetwork(pReply + kTransmitOffset);
        sample.destination = destination;
        sample.Measure();
        return Answered;
    }
}

BOOL CSntpQuery::SetClockTo(const CNtpStamp& target)
{
    BOOL bResult = 0;
    if (EnableClockPrivilege())
    {
        const SYSTEMTIME st = target.ToSystemTime();
        bResult = m_platform.WriteClock(&st);
    }
    RestoreClockPrivilege();
    return bResult;
}

BOOL CSntpQuery::EnableClockPrivilege()
{
    m_bPrivilegeEnabled = 0;
    if (!m_platform.OpenToken(kTokenAccess, &m_hToken))
    {
        m_hToken = NULL;
        // A platform without process security sets the clock without a privilege.
        if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
        {
            SetLastError(0);
            return TRUE;
        }
        return FALSE;
    }

    m_privileges = TOKEN_PRIVILEGES{};
    if (!m_platform.LookupPrivilege("SeSystemtimePrivilege", &m_privileges.Privileges[0].Luid))
        return FALSE;
    m_privileges.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
    m_privileges.PrivilegeCount = 1;
    m_bPrivilegeEnabled = 1;
    // A non-zero answer counts even when nothing was granted; the clock call then refuses.
    return m_platform.AdjustPrivileges(m_hToken, &m_privileges);
}

void CSntpQuery::RestoreClockPrivilege()
{
    if (m_bPrivilegeEnabled)
    {
        const DWORD dwError = GetLastError();
        m_privileges.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
        m_platform.AdjustPrivileges(m_hToken, &m_privileges);
        SetLastError(dwError);
    }
    if (m_hToken != NULL)
    {
        m_platform.CloseToken(m_hToken);
        m_hToken = NULL;
    }
}
