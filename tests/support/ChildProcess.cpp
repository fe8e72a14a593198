#include "support/ChildProcess.h"

#include "toolkit/CodePage.h"

namespace
{
const int kStartAttempts = 3;

// Moves what the pipe holds now into strText. The pipe's end never comes
// when Wine's desktop process, started by the child's first window, inherits
// the child's descriptors and outlives it: so read while the child runs (a
// full pipe would stall it) and once more after it ends, never to the end.
void ReadAvailable(HANDLE hRead, std::string& strText)
{
    char buffer[4096];
    DWORD dwAvailable = 0;
    while (PeekNamedPipe(hRead, NULL, 0, NULL, &dwAvailable, NULL) && dwAvailable > 0)
    {
        DWORD dwRead = 0;
        if (!ReadFile(hRead, buffer, dwAvailable < sizeof(buffer) ? dwAvailable : sizeof(buffer), &dwRead, NULL)
            || dwRead == 0)
            break;
        strText.append(buffer, dwRead);
    }
}

// Console programs write text mode: compare lines without their CR.
void DropCarriageReturns(std::string& strText)
{
    for (size_t i = strText.find("\r\n"); i != std::string::npos; i = strText.find("\r\n", i))
        strText.erase(i, 1);
}
} // namespace

std::string CChildProcess::BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(NULL, path, MAX_PATH - 1);
    std::string strPath(path);
    return strPath.substr(0, strPath.find_last_of('\\') + 1);
}

bool CChildProcess::Run(const std::string& strProgram, const std::string& strArguments, DWORD dwTimeoutMs)
{
    return RunCommandLine("\"" + BinDir() + strProgram + "\" " + strArguments, dwTimeoutMs);
}

bool CChildProcess::RunCommandLine(const std::string& strCommandLine, DWORD dwTimeoutMs)
{
    return RunCommandLine(XTPToWide(strCommandLine.data(), int(strCommandLine.size()), CP_ACP), dwTimeoutMs);
}

bool CChildProcess::RunCommandLine(const std::wstring& strCommandLine, DWORD dwTimeoutMs)
{
    strOut.clear();
    strErr.clear();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE hOutRead, hOutWrite, hErrRead, hErrWrite;
    if (!CreatePipe(&hOutRead, &hOutWrite, &inherit, 0))
        return false;
    if (!CreatePipe(&hErrRead, &hErrWrite, &inherit, 0))
    {
        CloseHandle(hOutRead);
        CloseHandle(hOutWrite);
        return false;
    }
    SetHandleInformation(hOutRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(hErrRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = hOutWrite;
    startup.hStdError = hErrWrite;
    std::wstring strCommand = strCommandLine;
    PROCESS_INFORMATION process = {};
    // Under Wine on a busy machine, starting a process now and then fails
    // for a moment; a test is about the program, not about that.
    BOOL bStarted = FALSE;
    for (int nAttempt = 0; nAttempt < kStartAttempts && !bStarted; ++nAttempt)
    {
        if (nAttempt > 0)
            Sleep(250);
        bStarted = CreateProcessW(NULL, &strCommand[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
        dwStartError = bStarted ? 0 : GetLastError();
    }
    CloseHandle(hOutWrite);
    CloseHandle(hErrWrite);
    if (bStarted)
    {
        const DWORD dwStart = GetTickCount();
        for (bool bEnded = false; !bEnded;)
        {
            bEnded = WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
            if (!bEnded && GetTickCount() - dwStart >= dwTimeoutMs)
            {
                TerminateProcess(process.hProcess, 259);
                WaitForSingleObject(process.hProcess, 5000);
                bEnded = true;
            }
            ReadAvailable(hOutRead, strOut);
            ReadAvailable(hErrRead, strErr);
        }
        GetExitCodeProcess(process.hProcess, &dwExitCode);
        DropCarriageReturns(strOut);
        DropCarriageReturns(strErr);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(hOutRead);
    CloseHandle(hErrRead);
    return bStarted != FALSE;
}
