#include "app/SyncPlatform.h"

#include "app/ClockPlatform.h"

#include <cstring>

namespace
{
// An open registry key, closed when it goes.
class CRegKey
{
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_hKey != NULL)
            ::RegCloseKey(m_hKey);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    HKEY* operator&() { return &m_hKey; }
    operator HKEY() const { return m_hKey; }

private:
    HKEY m_hKey = NULL;
};
} // namespace

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
    CRegKey key;
    LONG nError = ::RegOpenKeyA(m_hRunRoot, m_strRunKeyPath.c_str(), &key);
    if (nError == ERROR_SUCCESS)
        nError = ::RegSetValueExA(key, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszCommand),
                                  static_cast<DWORD>(strlen(pszCommand) + 1));
    ::SetLastError(nError);
    return nError == ERROR_SUCCESS;
}

BOOL CSyncPlatform::RemoveRunValue(LPCSTR pszName)
{
    CRegKey key;
    LONG nError = ::RegCreateKeyA(m_hRunRoot, m_strRunKeyPath.c_str(), &key);
    // Opening asks for whatever access is allowed, so this fails only for a
    // key that is missing and cannot be made: then there is nothing to remove.
    if (nError != ERROR_SUCCESS)
        return TRUE;
    if (::RegQueryValueExA(key, pszName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return TRUE;
    nError = ::RegDeleteValueA(key, pszName);
    ::SetLastError(nError);
    return nError == ERROR_SUCCESS;
}
