#include "app/SyncPlatform.h"

#include "app/ClockPlatform.h"
#include "app/SettingsStore.h"
#include "app/TaskScheduler.h"
#include "toolkit/SystemLibrary.h"

#include <shlobj.h>

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
    // The socket library is loaded and started at the first query rather
    // than at start, once for the process. Loaded here from the system
    // folder so that the delay-loaded calls find it: where it cannot load,
    // the delay-load helper would end the process instead of failing the query.
    static const CXTPSystemLibrary s_ws2(L"ws2_32.dll");
    static const int s_nStartError = []
    {
        if (!s_ws2.Get<FARPROC>("WSAStartup"))
            return static_cast<int>(ERROR_DLL_NOT_FOUND);
        WSADATA wsaData;
        return ::WSAStartup(MAKEWORD(2, 0), &wsaData);
    }();
    if (s_nStartError != 0)
    {
        ::SetLastError(static_cast<DWORD>(s_nStartError));
        return FALSE;
    }
    return query.QueryServer(pszHost, result, nPort);
}

BOOL CSyncPlatform::SetClockTo(CSntpQuery& query, const CNtpStamp& target)
{
    return query.SetClockTo(target);
}

BOOL CSyncPlatform::AddRunValue(LPCSTR pszName, LPCWSTR pszCommand)
{
    CXTPRegKey key;
    LONG nError = ::RegOpenKeyA(m_hRunRoot, m_strRunKeyPath.c_str(), key.Put());
    // Wide: a path outside the ANSI code page would be stored with '?' in it.
    const std::wstring strName(pszName, pszName + strlen(pszName));
    if (nError == ERROR_SUCCESS)
        nError = ::RegSetValueExW(key.Get(), strName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(pszCommand),
                                  static_cast<DWORD>((wcslen(pszCommand) + 1) * sizeof(wchar_t)));
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

BOOL CSyncPlatform::IsElevated()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return FALSE;
    TOKEN_ELEVATION elevation = {};
    DWORD dwSize = 0;
    const BOOL bKnown = ::GetTokenInformation(hToken, TokenElevation, &elevation, sizeof(elevation), &dwSize);
    ::CloseHandle(hToken);
    return bKnown && elevation.TokenIsElevated != 0;
}

HRESULT CSyncPlatform::RegisterTask(LPCWSTR pszName, const std::wstring& strXml)
{
    return CTaskScheduler::Register(pszName, strXml);
}

HRESULT CSyncPlatform::DeleteTask(LPCWSTR pszName)
{
    return CTaskScheduler::Delete(pszName);
}

std::wstring CSyncPlatform::UserSettingsDir()
{
    std::wstring strDir = AppDataFromEnvironment();
    if (strDir.empty())
    {
        // shell32 only where the logon gave the process no APPDATA: loading
        // it and its helpers costs a few milliseconds of every start.
        using PFNSHGETFOLDERPATHW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
        const CXTPSystemLibrary shell32(L"shell32.dll");
        const auto pfnGetFolderPath = shell32.Get<PFNSHGETFOLDERPATHW>("SHGetFolderPathW");
        wchar_t path[MAX_PATH] = {};
        if (pfnGetFolderPath && SUCCEEDED(pfnGetFolderPath(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, path)))
            strDir = path;
    }
    if (strDir.empty())
        return std::wstring();
    return strDir + L"\\" + CSettingsStore::kUserFolder + L"\\";
}

std::wstring CSyncPlatform::AppDataFromEnvironment()
{
    wchar_t szDir[MAX_PATH] = {};
    const DWORD nLength = ::GetEnvironmentVariableW(L"APPDATA", szDir, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return std::wstring();
    std::wstring strDir(szDir, nLength);
    while (!strDir.empty() && (strDir.back() == L'\\' || strDir.back() == L'/'))
        strDir.pop_back();
    // Only an existing folder by a full path ("X:\..." or "\\server\..."):
    // a relative one would move with the current folder.
    const bool bFull = (strDir.size() >= 3 && strDir[1] == L':' && (strDir[2] == L'\\' || strDir[2] == L'/'))
                       || strDir.compare(0, 2, L"\\\\") == 0;
    const DWORD dwAttributes = bFull ? ::GetFileAttributesW(strDir.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::wstring();
    return strDir;
}
