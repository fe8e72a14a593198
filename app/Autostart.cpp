#include "app/Autostart.h"

#include "app/ModuleDir.h"
#include "app/SyncPlatform.h"
#include "toolkit/SystemLibrary.h"

#include <sddl.h>
#include <shellapi.h>

#include <vector>

namespace
{
std::wstring EscapeXml(const std::wstring& strText)
{
    std::wstring strEscaped;
    for (wchar_t ch : strText)
    {
        switch (ch)
        {
        case L'&': strEscaped += L"&amp;"; break;
        case L'<': strEscaped += L"&lt;"; break;
        case L'>': strEscaped += L"&gt;"; break;
        case L'"': strEscaped += L"&quot;"; break;
        case L'\'': strEscaped += L"&apos;"; break;
        default: strEscaped += ch; break;
        }
    }
    return strEscaped;
}

std::wstring WidenAscii(LPCSTR pszText)
{
    return std::wstring(pszText, pszText + strlen(pszText));
}
} // namespace

BOOL CAutostart::Set(BOOL bOn, LPCSTR pszName)
{
    std::wstring strPath;
    if (bOn && !ReadModulePath(strPath))
    {
        // A cut-off path would start nothing, or something else.
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    // Quoted: unquoted, a path with spaces lets Windows start "C:\Program.exe".
    const std::wstring strCommand = L"\"" + strPath + L"\"";
    if (!m_platform.IsElevated())
        return bOn ? m_platform.AddRunValue(pszName, strCommand.c_str()) : m_platform.RemoveRunValue(pszName);

    const std::wstring strName = WidenAscii(pszName);
    if (bOn)
    {
        const HRESULT hr = m_platform.RegisterTask(strName.c_str(), TaskXml(strPath, CurrentUserSid()));
        if (FAILED(hr))
        {
            ::SetLastError(static_cast<DWORD>(hr));
            return FALSE;
        }
        // A Run value left from an unelevated start would only fail at logon.
        m_platform.RemoveRunValue(pszName);
        return TRUE;
    }
    const HRESULT hr = m_platform.DeleteTask(strName.c_str());
    const BOOL bRunValueGone = m_platform.RemoveRunValue(pszName);
    return SUCCEEDED(hr) && bRunValueGone;
}

std::wstring CAutostart::TaskXml(const std::wstring& strProgramPath, const std::wstring& strUserId)
{
    const std::wstring strUser = EscapeXml(strUserId);
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           L"  <Triggers>\r\n"
           L"    <LogonTrigger>\r\n"
           L"      <Enabled>true</Enabled>\r\n"
           L"      <UserId>"
           + strUser
           + L"</UserId>\r\n"
             L"    </LogonTrigger>\r\n"
             L"  </Triggers>\r\n"
             L"  <Principals>\r\n"
             L"    <Principal id=\"Author\">\r\n"
             L"      <UserId>"
           + strUser
           + L"</UserId>\r\n"
             L"      <LogonType>InteractiveToken</LogonType>\r\n"
             L"      <RunLevel>HighestAvailable</RunLevel>\r\n"
             L"    </Principal>\r\n"
             L"  </Principals>\r\n"
             L"  <Settings>\r\n"
             L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
             L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
             L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
             L"    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\r\n"
             L"    <Enabled>true</Enabled>\r\n"
             L"  </Settings>\r\n"
             L"  <Actions Context=\"Author\">\r\n"
             L"    <Exec>\r\n"
             L"      <Command>"
           + EscapeXml(L"\"" + strProgramPath + L"\"")
           + L"</Command>\r\n"
             L"      <Arguments>"
           + kArgument
           + L"</Arguments>\r\n"
             L"    </Exec>\r\n"
             L"  </Actions>\r\n"
             L"</Task>\r\n";
}

std::wstring CAutostart::CurrentUserSid()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return std::wstring();
    DWORD dwSize = 0;
    ::GetTokenInformation(hToken, TokenUser, NULL, 0, &dwSize);
    std::vector<BYTE> buffer(dwSize);
    std::wstring strSid;
    LPWSTR pszSid = NULL;
    if (dwSize != 0 && ::GetTokenInformation(hToken, TokenUser, buffer.data(), dwSize, &dwSize)
        && ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &pszSid))
    {
        strSid = pszSid;
        ::LocalFree(pszSid);
    }
    ::CloseHandle(hToken);
    return strSid;
}

bool CAutostart::IsAutostartCommandLine(LPCWSTR pszCommandLine)
{
    // Quotes are all the parsing can take out of an argument; without the
    // word in what remains no argument can be it, and shell32 stays unloaded,
    // as on most starts.
    std::wstring strLower, strWord(kArgument);
    for (LPCWSTR p = pszCommandLine; p && *p; ++p)
        if (*p != L'"')
            strLower += *p;
    ::CharLowerBuffW(&strLower[0], static_cast<DWORD>(strLower.size()));
    ::CharLowerBuffW(&strWord[0], static_cast<DWORD>(strWord.size()));
    if (strLower.find(strWord) == std::wstring::npos)
        return false;
    using PFNCOMMANDLINETOARGVW = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    const CXTPSystemLibrary shell32(L"shell32.dll");
    const auto pfnCommandLineToArgv = shell32.Get<PFNCOMMANDLINETOARGVW>("CommandLineToArgvW");
    int nArgs = 0;
    LPWSTR* ppArgs = pfnCommandLineToArgv ? pfnCommandLineToArgv(pszCommandLine, &nArgs) : NULL;
    if (ppArgs == NULL)
        return false;
    bool bAutostart = false;
    for (int i = 1; i < nArgs; ++i)
        bAutostart = bAutostart || ::lstrcmpiW(ppArgs[i], kArgument) == 0;
    ::LocalFree(ppArgs);
    return bAutostart;
}
