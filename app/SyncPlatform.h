// What the synchronisation controller asks of the system: the tick count, the
// time query, the clock, the user's settings folder, and the autostart (the
// machine-wide Run value or a logon task). Tests replace single calls; the
// rest stays real.
#pragma once

#include "app/NtpStamp.h"
#include "app/SntpQuery.h"

#include <windows.h>

#include <string>

class CClockPlatform;

class CSyncPlatform
{
public:
    static constexpr const char* kRunKeyPath = "SOFTWARE\\MicroSoft\\Windows\\CurrentVersion\\Run\\";

    // The Run key location is a parameter only so that tests can point it at
    // a key that is missing.
    explicit CSyncPlatform(CClockPlatform& clock, HKEY hRunRoot = HKEY_LOCAL_MACHINE,
                           LPCSTR pszRunKeyPath = kRunKeyPath);
    CSyncPlatform();
    virtual ~CSyncPlatform() = default;

    CClockPlatform& GetClock() const { return m_clock; }

    virtual DWORD GetTickCount();
    virtual BOOL QueryServer(CSntpQuery& query, LPCSTR pszHost, USHORT nPort, SntpResult& result);
    virtual BOOL SetClockTo(CSntpQuery& query, const CNtpStamp& target);

    // Stores a command line under the value name; FALSE when the key cannot
    // be opened (it is never created) or the value not written.
    virtual BOOL AddRunValue(LPCSTR pszName, LPCWSTR pszCommand);
    // Removes the value when present; FALSE only when it is there and stays.
    virtual BOOL RemoveRunValue(LPCSTR pszName);

    // Whether the process runs with an elevated token.
    virtual BOOL IsElevated();
    virtual HRESULT RegisterTask(LPCWSTR pszName, const std::wstring& strXml);
    // S_OK also when there was no such task.
    virtual HRESULT DeleteTask(LPCWSTR pszName);

    // The per-user settings folder (application data\Horaleon\); empty when
    // the system names none.
    virtual std::wstring UserSettingsDir();
    // The application data folder APPDATA names, without a trailing
    // backslash; empty unless it is an existing folder by a full path.
    static std::wstring AppDataFromEnvironment();

private:
    CClockPlatform& m_clock;
    HKEY m_hRunRoot;
    std::string m_strRunKeyPath;
};
