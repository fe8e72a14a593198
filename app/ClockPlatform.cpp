#include "app/ClockPlatform.h"

#include "toolkit/OptionalFunction.h"

namespace
{
using PreciseTimeFunction = VOID(WINAPI*)(LPFILETIME);

// Whole milliseconds, or the 15.6 ms tick of a coarse system, would bias
// every measured offset; the precise clock exists from Windows 8 on.
PreciseTimeFunction FindPreciseTime()
{
    const PreciseTimeFunction pfn = XTPGetOptionalFunction<PreciseTimeFunction>(::GetModuleHandleA("kernel32.dll"),
                                                                                "GetSystemTimePreciseAsFileTime");
    return pfn ? pfn : &::GetSystemTimeAsFileTime;
}
} // namespace

void CClockPlatform::ReadClock(FILETIME* pTime)
{
    static const PreciseTimeFunction s_pReadTime = FindPreciseTime();
    s_pReadTime(pTime);
}

BOOL CClockPlatform::WriteClock(const SYSTEMTIME* pTime)
{
    return ::SetSystemTime(pTime);
}

BOOL CClockPlatform::OpenToken(DWORD dwAccess, HANDLE* phToken)
{
    return ::OpenProcessToken(::GetCurrentProcess(), dwAccess, phToken);
}

BOOL CClockPlatform::LookupPrivilege(LPCSTR pszName, LUID* pLuid)
{
    return ::LookupPrivilegeValueA(NULL, pszName, pLuid);
}

BOOL CClockPlatform::AdjustPrivileges(HANDLE hToken, TOKEN_PRIVILEGES* pPrivileges)
{
    return ::AdjustTokenPrivileges(hToken, FALSE, pPrivileges, 0, NULL, NULL);
}

void CClockPlatform::CloseToken(HANDLE hToken)
{
    ::CloseHandle(hToken);
}

CClockPlatform& CClockPlatform::System()
{
    static CClockPlatform s_system;
    return s_system;
}
