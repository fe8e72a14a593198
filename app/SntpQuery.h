// One SNTP exchange with a time server, and setting the system clock from its
// answer under the system-time privilege. Classes: SntpResult, CSntpQuery.
#pragma once

#include "app/NtpStamp.h"

#include <windows.h>

class CClockPlatform;

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
    // The public server the program asks; its users are in mainland China.
    static constexpr const char* kPublicServer = "ntp.aliyun.com";
    static constexpr USHORT kNtpPort = 123;
    static constexpr DWORD kReplyTimeoutMs = 5000;

    explicit CSntpQuery(CClockPlatform& platform);
    CSntpQuery();

    // One exchange. On FALSE the last-error value says why: 10060 for no
    // reply in time, ERROR_INVALID_DATA for a reply that is not a sane
    // server answer to our request, else the socket layer's error.
    BOOL QueryServer(LPCSTR pszHost, SntpResult& result, USHORT nPort);

    // Sets the system clock to a UTC stamp; non-zero when it was set.
    BOOL SetClockTo(const CNtpStamp& target);

private:
    BOOL EnableClockPrivilege();
    void RestoreClockPrivilege();

    CClockPlatform& m_platform;
    DWORD m_dwTimeout = kReplyTimeoutMs;
    HANDLE m_hToken = NULL;
    TOKEN_PRIVILEGES m_privileges = {};
    int m_bPrivilegeEnabled = 0;
};
