#include "app/SntpQuery.h"

#include "app/ClockPlatform.h"
#include "app/UdpLink.h"

#include <winsock2.h>

namespace
{
const int kRequestBytes = 48;
const int kReplyBufferBytes = 68;
const BYTE kClientRequestHeader = 0x1B; // leap indicator 0, version 3, mode 3 (client)

const int kOriginateOffset = 24;
const int kReceiveOffset = 32;
const int kTransmitOffset = 40;

const DWORD kTokenAccess = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

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

ULONG ResolveHost(LPCSTR pszHost)
{
    ULONG nAddress = inet_addr(pszHost);
    if (nAddress != INADDR_NONE)
        return nAddress;
    const hostent* pHost = gethostbyname(pszHost);
    if (pHost == NULL)
        return INADDR_NONE;
    if (pHost->h_addrtype != AF_INET || pHost->h_addr_list[0] == NULL)
    {
        SetLastError(WSAHOST_NOT_FOUND);
        return INADDR_NONE;
    }
    memcpy(&nAddress, pHost->h_addr_list[0], sizeof(nAddress));
    return nAddress;
}

// A datagram is used only as a synchronised server's answer to the request
// we sent: anything else would set the clock from garbage, and zeros from a
// short reply would put it back to 1900.
bool IsSaneReply(const BYTE* pReply, int nBytes, const CNtpStamp& sent)
{
    if (nBytes < kRequestBytes)
        return false;
    const int nLeap = pReply[0] >> 6;
    const int nVersion = (pReply[0] >> 3) & 7;
    const int nMode = pReply[0] & 7;
    const int nStratum = pReply[1];
    if (nMode != 4 || nVersion < 1 || nVersion > 4 || nLeap == 3)
        return false;
    if (nStratum < 1 || nStratum > 15) // 0 is a refusal, 16 unsynchronised
        return false;
    if (CNtpStamp::FromNetwork(pReply + kTransmitOffset).IsZero())
        return false;
    return CNtpStamp::FromNetwork(pReply + kOriginateOffset) == sent;
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

BOOL CSntpQuery::QueryServer(LPCSTR pszHost, SntpResult& result, USHORT nPort)
{
    CUdpLink link;
    if (!link.Create())
        return FALSE;

    const ULONG nAddress = ResolveHost(pszHost);
    if (nAddress == INADDR_NONE)
        return FailKeepingError(link);
    if (!link.Connect(nAddress, nPort))
        return FailKeepingError(link);

    BYTE request[kRequestBytes] = {};
    request[0] = kClientRequestHeader;
    const CNtpStamp sent = CNtpStamp::Now(m_platform);
    sent.ToNetwork(request + kTransmitOffset);
    if (!link.Send(request, kRequestBytes))
        return FailKeepingError(link);

    if (link.WaitReadable(m_dwTimeout) != CUdpLink::Readable)
        return FailWith(link, WSAETIMEDOUT);

    result.destination = CNtpStamp::Now(m_platform);
    BYTE reply[kReplyBufferBytes] = {};
    const int nBytes = link.Receive(reply, kReplyBufferBytes);
    if (nBytes == SOCKET_ERROR)
        return FailKeepingError(link);
    if (nBytes == 0)
        return FailWith(link, WSAECONNRESET);
    if (!IsSaneReply(reply, nBytes, sent))
        return FailWith(link, ERROR_INVALID_DATA);

    result.nLeapIndicator = reply[0] >> 6;
    result.nStratum = reply[1];
    result.originate = CNtpStamp::FromNetwork(reply + kOriginateOffset);
    result.receive = CNtpStamp::FromNetwork(reply + kReceiveOffset);
    result.transmit = CNtpStamp::FromNetwork(reply + kTransmitOffset);

    result.Measure();

    link.Close();
    return TRUE;
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
