// Starting the program when the user logs on. Windows does not start a
// program that asks for elevation from the Run key, so an elevated program
// registers a logon task instead; otherwise the machine-wide Run value is used.
#pragma once

#include <windows.h>

#include <string>

class CSyncPlatform;

class CAutostart
{
public:
    // The argument the logon task starts the program with.
    static constexpr const wchar_t* kArgument = L"/autostart";

    explicit CAutostart(CSyncPlatform& platform) : m_platform(platform) {}

    // Registers (bOn) or removes the autostart under pszName; FALSE when the
    // system refused, with the reason in the last error.
    BOOL Set(BOOL bOn, LPCSTR pszName);

    // The logon task: the user's logon starts the quoted program with
    // kArgument at the highest level, on batteries too, with no time limit.
    static std::wstring TaskXml(const std::wstring& strProgramPath, const std::wstring& strUserId);
    // The SID of the user this process runs as, as text; empty when unknown.
    static std::wstring CurrentUserSid();
    // Whether a command line carries kArgument after the program's name.
    static bool IsAutostartCommandLine(LPCWSTR pszCommandLine);

private:
    CSyncPlatform& m_platform;
};
