#include "app/SyncPlatform.h"

#include "app/ClockPlatform.h"

#include "toolkit/GdiHandles.h"

#include <cstring>

CSyncPlatform::CSyncPlatform(CClockPlatform& clock, HKEY hRunRoot, LPCSTR pszRunKeyPath)
    : m_clock(clock), m_hRunRoot(hRunRoot), m_strRunKeyPath(pszRunKeyPath)
{
}

CSyncPlatform::CSyncPlatform() : CSyncPlatform(CClockPlatform::System()) {}

DWORD CSyncPlatform::GetTickCount()
{
    return ::GetTickCount();
}

BOOL CSyncPlatform::QueryServer(CSntpQuery& query, LPCSTR pszHost, USHORT nPort, SntpResult& result)
{
    return query.QueryServer(pszHost, result, nPort);
}

BOOL CSyncPlatform::SetClockTo(CSntpQuery& query, const CNtpStamp& target)
{
    return query.SetClockTo(target);
}

BOOL CSyncPlatform::AddRunValue(LPCSTR pszName, LPCSTR pszCommand)
{
    CXTPRegKey key;
    LONG nError = ::RegOpenKeyA(m_hRunRoot, m_strRunKeyPath.c_str(), key.Put());
    if (nError == ERROR_SUCCESS)
        nError = ::RegSetValueExA(key.Get(), pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszCommand),
                                  static_cast<DWORD>(strlen(pszCommand) + 1));
    ::SetLastError(nError);
    return nError == ERROR_SUCCESS;
}

BOOL CSyncPlatform::RemoveRunValue(LPCSTR pszName)
{
    CXTPRegKey key;
    LONG nError = ::RegCreateKeyA(m_hRunRoot, m_strRunKeyPath.c_str(), key.Put());
    // Opening asks for whatever access is allowed, so this fails only for a
    // key that is missing and cannot be made: then there is nothing to remove.
    if (nError != ERROR_SUCCESS)
        return TRUE;
    if (::RegQueryValueExA(key.Get(), pszName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return TRUE;
    nError = ::RegDeleteValueA(key.Get(), pszName);
    ::SetLastError(nError);
    return nError == ERROR_SUCCESS;
}
