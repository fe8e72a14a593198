// How well clockfix.exe keeps answering while it synchronises. The program
// runs from a temporary folder against a time server on 127.0.0.1 that never
// answers; the synchronisation button is clicked (a posted click
// notification), and a message is sent to the dialog every 20 ms until the
// failure text shows. Prints the longest wait for an answer, the time to the
// failure text, and how long the process takes to end when the dialog is
// closed in the middle of a second synchronisation.
//   bench_sync_ui [RUNS]   RUNS synchronisations (1 by default)

#include "BenchSupport.h"

#include <winsock2.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
const UINT kIdSync = 1001;
const UINT kIdResult = 1000;
const DWORD kPingIntervalMs = 20;
const DWORD kAnswerTimeoutMs = 30000;
const double kGiveUpSeconds = 40;
const double kGoalStallMs = 50;
const wchar_t kFailurePrefix[] = L"\x6821\x65f6\x5931\x8d25"; // 校时失败

// A UDP port that takes datagrams and never answers them.
class CSilentServer
{
public:
    CSilentServer()
    {
        WSADATA wsaData;
        ::WSAStartup(MAKEWORD(2, 0), &wsaData);
        m_hSocket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        int nLength = sizeof(address);
        if (m_hSocket != INVALID_SOCKET
            && ::bind(m_hSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
            && ::getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&address), &nLength) == 0)
            m_nPort = ntohs(address.sin_port);
    }
    ~CSilentServer()
    {
        if (m_hSocket != INVALID_SOCKET)
            ::closesocket(m_hSocket);
    }
    CSilentServer(const CSilentServer&) = delete;
    CSilentServer& operator=(const CSilentServer&) = delete;

    USHORT Port() const { return m_nPort; }

private:
    SOCKET m_hSocket = INVALID_SOCKET;
    USHORT m_nPort = 0;
};

// clockfix.exe in a folder of its own, with settings naming the server.
class CProgramRun
{
public:
    CProgramRun(USHORT nPort, int nInstance)
    {
        wchar_t szTemp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, szTemp);
        m_strFolder = std::wstring(szTemp) + L"horaleon-syncbench-" + std::to_wstring(::GetCurrentProcessId()) + L"-"
                      + std::to_wstring(nInstance) + L"\\";
        ::CreateDirectoryW(m_strFolder.c_str(), NULL);
        ::CopyFileW((ModuleFolder() + L"clockfix.exe").c_str(), (m_strFolder + L"clockfix.exe").c_str(), FALSE);
        const std::string strSettings = "[general]\r\nserver=127.0.0.1:" + std::to_string(nPort) + "\r\n";
        const HANDLE hFile =
            ::CreateFileW((m_strFolder + L"setting.ini").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD dwWritten = 0;
        ::WriteFile(hFile, strSettings.data(), static_cast<DWORD>(strSettings.size()), &dwWritten, NULL);
        ::CloseHandle(hFile);
    }
    ~CProgramRun()
    {
        if (m_info.hProcess)
        {
            if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 10000);
            ::CloseHandle(m_info.hProcess);
            ::CloseHandle(m_info.hThread);
        }
        ::DeleteFileW((m_strFolder + L"setting.ini").c_str());
        ::DeleteFileW((m_strFolder + L"clockfix.exe").c_str());
        ::RemoveDirectoryW(m_strFolder.c_str());
    }
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    // The dialog once it is visible, or NULL.
    HWND Start()
    {
        std::wstring strCommandLine = L"\"" + m_strFolder + L"clockfix.exe\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!::CreateProcessW(NULL, &strCommandLine[0], NULL, NULL, FALSE, 0, NULL, m_strFolder.c_str(), &startup,
                              &m_info))
            return NULL;
        ::WaitForInputIdle(m_info.hProcess, kAnswerTimeoutMs);
        const double dDeadline = Seconds() + 30;
        while (Seconds() < dDeadline)
        {
            m_hDialog = NULL;
            ::EnumWindows(&CProgramRun::FindDialog, reinterpret_cast<LPARAM>(this));
            if (m_hDialog != NULL)
                return m_hDialog;
            ::Sleep(50);
        }
        return NULL;
    }

    HANDLE Process() const { return m_info.hProcess; }

private:
    static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
    {
        CProgramRun& run = *reinterpret_cast<CProgramRun*>(lParam);
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcessId);
        if (dwProcessId != run.m_info.dwProcessId || !::IsWindowVisible(hWnd) || !::GetDlgItem(hWnd, kIdSync))
            return TRUE;
        run.m_hDialog = hWnd;
        return FALSE;
    }

    std::wstring m_strFolder;
    PROCESS_INFORMATION m_info = {};
    HWND m_hDialog = NULL;
};

void Click(HWND hDialog)
{
    const HWND hButton = ::GetDlgItem(hDialog, kIdSync);
    ::PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(kIdSync, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
}

// The result panel's text, asked of the panel itself; also a message the
// dialog's thread must answer.
bool ResultText(HWND hDialog, std::wstring& strText)
{
    wchar_t buffer[512] = {};
    DWORD_PTR nCopied = 0;
    if (!::SendMessageTimeoutW(::GetDlgItem(hDialog, kIdResult), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer),
                               SMTO_NORMAL, kAnswerTimeoutMs, &nCopied))
        return false;
    strText.assign(buffer, std::min<size_t>(nCopied, 511));
    return true;
}

struct CStallSample
{
    double dLongestMs = 0;
    double dLongestAt = 0; // seconds after the click
    int nPings = 0;
    double dSecondsToResult = -1;
};

// The same pings for a while with nothing running: what the machine and
// Wine cost on their own.
double IdleLongestMs(HWND hDialog, double dSeconds)
{
    double dLongestMs = 0;
    const double dStart = Seconds();
    while (Seconds() - dStart < dSeconds)
    {
        const double dSent = Seconds();
        DWORD_PTR nResult = 0;
        if (!::SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &nResult))
            return -1;
        dLongestMs = std::max(dLongestMs, (Seconds() - dSent) * 1000);
        std::wstring strText;
        ResultText(hDialog, strText);
        ::Sleep(kPingIntervalMs);
    }
    return dLongestMs;
}

// One click, then pings until the failure text.
CStallSample MeasureSync(HWND hDialog)
{
    CStallSample sample;
    const double dStart = Seconds();
    Click(hDialog);
    while (Seconds() - dStart < kGiveUpSeconds)
    {
        const double dSent = Seconds();
        DWORD_PTR nResult = 0;
        const BOOL bAnswered = ::SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &nResult);
        std::wstring strText;
        const bool bRead = ResultText(hDialog, strText);
        const double dWaitMs = (Seconds() - dSent) * 1000;
        if (dWaitMs > sample.dLongestMs)
        {
            sample.dLongestMs = dWaitMs;
            sample.dLongestAt = dSent - dStart;
        }
        ++sample.nPings;
        if (!bAnswered || !bRead)
            break;
        if (strText.compare(0, wcslen(kFailurePrefix), kFailurePrefix) == 0)
        {
            sample.dSecondsToResult = Seconds() - dStart;
            break;
        }
        ::Sleep(kPingIntervalMs);
    }
    return sample;
}
// Escape's command; the milliseconds until the process has ended, or -1.
double CloseAndTime(HWND hDialog, HANDLE hProcess)
{
    const double dClosed = Seconds();
    ::PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (::WaitForSingleObject(hProcess, 30000) != WAIT_OBJECT_0)
        return -1;
    return (Seconds() - dClosed) * 1000;
}
} // namespace

int main(int argc, char** argv)
{
    const int nRuns = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    CSilentServer server;
    if (server.Port() == 0)
    {
        fprintf(stderr, "bench_sync_ui: cannot bind 127.0.0.1\n");
        return 1;
    }
    CProgramRun run(server.Port(), 1);
    const HWND hDialog = run.Start();
    if (hDialog == NULL)
    {
        fprintf(stderr, "bench_sync_ui: clockfix.exe showed no dialog\n");
        return 1;
    }

    printf("idle for 15 s: longest wait %.1f ms\n", IdleLongestMs(hDialog, 15));
    double dWorstMs = 0;
    bool bAllEnded = true;
    for (int nRun = 0; nRun < nRuns; ++nRun)
    {
        const CStallSample sample = MeasureSync(hDialog);
        printf("sync %d against a silent server: %d messages, longest wait %.1f ms (%.2f s after the click), "
               "failure text after %.2f s\n",
               nRun + 1, sample.nPings, sample.dLongestMs, sample.dLongestAt, sample.dSecondsToResult);
        dWorstMs = std::max(dWorstMs, sample.dLongestMs);
        bAllEnded = bAllEnded && sample.dSecondsToResult > 0;
    }

    // Closed one second into another synchronisation, next to a program
    // closed while idle: Wine itself takes a while to end a windowed process.
    Click(hDialog);
    ::Sleep(1000);
    const double dBusyCloseMs = CloseAndTime(hDialog, run.Process());
    CProgramRun idle(server.Port(), 2);
    const HWND hIdleDialog = idle.Start();
    const double dIdleCloseMs = hIdleDialog ? CloseAndTime(hIdleDialog, idle.Process()) : -1;
    printf("closed during a synchronisation, the process ended after %.0f ms (closed idle: %.0f ms)\n", dBusyCloseMs,
           dIdleCloseMs);

    printf("longest wait %.1f ms (goal <= %.0f ms): %s\n", dWorstMs, kGoalStallMs,
           dWorstMs <= kGoalStallMs && bAllEnded ? "met" : "NOT met");
    return dWorstMs <= kGoalStallMs && bAllEnded ? 0 : 1;
}
