#include "support/ChildProcess.h"

#include "toolkit/CodePage.h"

#include <thread>

namespace
{
const int kStartAttempts = 3;

// Reads a pipe to its end on a thread, so that a full pipe never stalls the child.
void Drain(HANDLE hRead, std::string& strText)
{
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(hRead, buffer, sizeof(buffer), &dwRead, NULL) && dwRead > 0)
        strText.append(buffer, dwRead);
    // Console programs write text mode: compare lines without their CR.
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
        std::thread outReader(Drain, hOutRead, std::ref(strOut));
        std::thread errReader(Drain, hErrRead, std::ref(strErr));
        if (WaitForSingleObject(process.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 259);
        GetExitCodeProcess(process.hProcess, &dwExitCode);
        outReader.join();
        errReader.join();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(hOutRead);
    CloseHandle(hErrRead);
    return bStarted != FALSE;
}
