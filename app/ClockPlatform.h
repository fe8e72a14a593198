// The platform calls that read and set the clock and adjust the process's
// privileges, behind one seam so that tests can record them instead.
#pragma once

#include <windows.h>

class CClockPlatform
{
public:
    virtual ~CClockPlatform() = default;

    // UTC now, in 100 ns units since 1601, as precisely as the platform keeps it.
    virtual void ReadClock(FILETIME* pTime);
    virtual BOOL WriteClock(const SYSTEMTIME* pTime);
    virtual BOOL OpenToken(DWORD dwAccess, HANDLE* phToken);
    virtual BOOL LookupPrivilege(LPCSTR pszName, LUID* pLuid);
    virtual BOOL AdjustPrivileges(HANDLE hToken, TOKEN_PRIVILEGES* pPrivileges);
    virtual void CloseToken(HANDLE hToken);

    // The real platform.
    static CClockPlatform& System();
};
