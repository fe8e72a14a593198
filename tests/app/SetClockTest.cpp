#include "app/ClockPlatform.h"
#include "app/SntpQuery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
HANDLE const kToken = reinterpret_cast<HANDLE>(0x1234);

// Records the clock and privilege calls in order, failing the ones it is told to.
class CRecordingClock : public CClockPlatform
{
public:
    void ReadClock(FILETIME* pTime) override { ::GetSystemTimeAsFileTime(pTime); }

    BOOL WriteClock(const SYSTEMTIME* pTime) override
    {
        m_calls.push_back("write");
        m_written = *pTime;
        m_dwErrorAtWrite = GetLastError();
        return m_bWriteResult;
    }

    BOOL OpenToken(DWORD dwAccess, HANDLE* phToken) override
    {
        m_calls.push_back("open " + std::to_string(dwAccess));
        if (m_dwOpenError)
        {
            SetLastError(m_dwOpenError);
            return FALSE;
        }
        *phToken = kToken;
        return TRUE;
    }

    BOOL LookupPrivilege(LPCSTR pszName, LUID* pLuid) override
    {
        m_calls.push_back(std::string("lookup ") + pszName);
        pLuid->LowPart = 12;
        return m_bLookupResult;
    }

    BOOL AdjustPrivileges(HANDLE hToken, TOKEN_PRIVILEGES* pPrivileges) override
    {
        EXPECT_EQ(hToken, kToken);
        EXPECT_EQ(pPrivileges->PrivilegeCount, 1u);
        EXPECT_EQ(pPrivileges->Privileges[0].Luid.LowPart, 12u);
        m_calls.push_back("adjust " + std::to_string(pPrivileges->Privileges[0].Attributes));
        const BOOL bResult = m_adjustResults.empty() ? TRUE : m_adjustResults.front();
        if (!m_adjustResults.empty())
            m_adjustResults.erase(m_adjustResults.begin());
        return bResult;
    }

    void CloseToken(HANDLE hToken) override
    {
        EXPECT_EQ(hToken, kToken);
        m_calls.push_back("close");
    }

    std::vector<std::string> m_calls;
    SYSTEMTIME m_written = {};
    DWORD m_dwErrorAtWrite = 0;
    BOOL m_bWriteResult = TRUE;
    DWORD m_dwOpenError = 0;
    BOOL m_bLookupResult = TRUE;
    std::vector<BOOL> m_adjustResults;
};

using Calls = std::vector<std::string>;

CNtpStamp Target()
{
    SYSTEMTIME st = {};
    st.wYear = 2027;
    st.wMonth = 1;
    st.wDay = 1;
    st.wSecond = 1;
    st.wMilliseconds = 500;
    return CNtpStamp::FromSystemTime(st);
}
} // namespace

TEST(SetClockTo, EnablesThePrivilegeOnlyAroundTheClockCall)
{
    CRecordingClock clock;
    EXPECT_NE(CSntpQuery(clock).SetClockTo(Target()), 0);
    EXPECT_EQ(clock.m_calls,
              (Calls{"open 40", "lookup SeSystemtimePrivilege", "adjust 2", "write", "adjust 0", "close"}));
    EXPECT_EQ(clock.m_written.wYear, 2027);
    EXPECT_EQ(clock.m_written.wSecond, 1);
    EXPECT_EQ(clock.m_written.wMilliseconds, 500);
}

TEST(SetClockTo, ReportsAClockThatRefuses)
{
    CRecordingClock clock;
    clock.m_bWriteResult = FALSE;
    EXPECT_EQ(CSntpQuery(clock).SetClockTo(Target()), 0);
    EXPECT_EQ(clock.m_calls.back(), "close");
}

TEST(SetClockTo, LeavesTheClockAloneWhenThePrivilegeCannotBeEnabled)
{
    CRecordingClock refusedAdjust;
    refusedAdjust.m_adjustResults = {FALSE};
    EXPECT_EQ(CSntpQuery(refusedAdjust).SetClockTo(Target()), 0);
    // The restoring call is still made: the flag was set before the adjustment.
    EXPECT_EQ(refusedAdjust.m_calls,
              (Calls{"open 40", "lookup SeSystemtimePrivilege", "adjust 2", "adjust 0", "close"}));

    CRecordingClock failedLookup;
    failedLookup.m_bLookupResult = FALSE;
    EXPECT_EQ(CSntpQuery(failedLookup).SetClockTo(Target()), 0);
    EXPECT_EQ(failedLookup.m_calls, (Calls{"open 40", "lookup SeSystemtimePrivilege", "close"}));

    CRecordingClock deniedToken;
    deniedToken.m_dwOpenError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(CSntpQuery(deniedToken).SetClockTo(Target()), 0);
    EXPECT_EQ(deniedToken.m_calls, (Calls{"open 40"}));
}

TEST(SetClockTo, SetsTheClockDirectlyWithoutProcessSecurity)
{
    CRecordingClock clock;
    clock.m_dwOpenError = ERROR_CALL_NOT_IMPLEMENTED;
    EXPECT_NE(CSntpQuery(clock).SetClockTo(Target()), 0);
    EXPECT_EQ(clock.m_calls, (Calls{"open 40", "write"}));
    EXPECT_EQ(clock.m_dwErrorAtWrite, 0u);
}

TEST(SetClockTo, TheRealPlatformRefusesAFarTargetHere)
{
    // Tests run without the right to set the clock; the platform must say no.
    const CNtpStamp target = CNtpStamp::Now() + 3600.0;
    EXPECT_EQ(CSntpQuery().SetClockTo(target), 0);
}
