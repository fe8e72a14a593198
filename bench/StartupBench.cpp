// Times clockfix.exe from process start to the first complete paint of its
// dialog and reads the memory it holds once painted, against the same dialog
// template run bare by the system's dialog manager (bench_bare_dialog.exe).
// Both run from a temporary folder, in alternation, so that they share the
// same machine state; the first start of each is a warm-up and not counted.
//   bench_startup [-v] [--program CLOCKFIX.EXE] [RUNS]   RUNS starts of each (10 by
//   default); -v prints each start; --program measures another build of the
//   program, the release one say (a Unix path works through Wine's Z: drive).

#include "BenchSupport.h"

#include "toolkit/CodePage.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace
{
const int kDefaultRuns = 10;
const DWORD kStartTimeoutMs = 30000;
// Without a window manager a top-level window takes seconds to go under Wine.
const DWORD kExitTimeoutMs = 30000;
const DWORD kRoundTripTimeoutMs = 5000;

// Nothing may reach the Internet; the program makes no query at start anyway.
const char kSettings[] = "[general]\r\nserver=127.0.0.1:9\r\n";

struct CStartSample
{
    double dIdleSeconds = 0;  // WaitForInputIdle returned
    double dShownSeconds = 0; // the dialog first seen visible
    double dSeconds = 0;      // its first complete paint
    SIZE_T nPrivateBytes = 0;
    bool bHostPrivate = false; // nPrivateBytes read from the host, not the system's counters
    SIZE_T nWorkingSetBytes = 0;
};

struct CProgram
{
    const char* pszLabel;
    const wchar_t* pszFile;
    std::vector<CStartSample> samples;
};

// A folder of our own, so that the programs find only the settings we give them.
class CScratchFolder
{
public:
    CScratchFolder()
    {
        wchar_t szTemp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, szTemp);
        m_strPath = std::wstring(szTemp) + L"horaleon-startbench-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        m_bCreated = ::CreateDirectoryW(m_strPath.c_str(), NULL) != FALSE;
    }
    ~CScratchFolder()
    {
        if (!m_bCreated)
            return;
        WIN32_FIND_DATAW found;
        const HANDLE hFind = ::FindFirstFileW((m_strPath + L"*").c_str(), &found);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            do
            {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((m_strPath + found.cFileName).c_str());
            } while (::FindNextFileW(hFind, &found));
            ::FindClose(hFind);
        }
        ::RemoveDirectoryW(m_strPath.c_str());
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    bool IsCreated() const { return m_bCreated; }
    const std::wstring& Path() const { return m_strPath; }

    bool Write(const wchar_t* pszName, const char* pszText) const
    {
        const HANDLE hFile =
            ::CreateFileW((m_strPath + pszName).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (hFile == INVALID_HANDLE_VALUE)
            return false;
        DWORD dwWritten = 0;
        const DWORD dwLength = static_cast<DWORD>(strlen(pszText));
        const bool bWritten = ::WriteFile(hFile, pszText, dwLength, &dwWritten, NULL) && dwWritten == dwLength;
        ::CloseHandle(hFile);
        return bWritten;
    }

private:
    std::wstring m_strPath;
    bool m_bCreated = false;
};

class CProcessHandles
{
public:
    CProcessHandles() = default;
    ~CProcessHandles()
    {
        if (m_info.hThread)
            ::CloseHandle(m_info.hThread);
        if (m_info.hProcess)
            ::CloseHandle(m_info.hProcess);
    }
    CProcessHandles(const CProcessHandles&) = delete;
    CProcessHandles& operator=(const CProcessHandles&) = delete;

    PROCESS_INFORMATION* Receiver() { return &m_info; }
    HANDLE Process() const { return m_info.hProcess; }
    DWORD Id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info = {};
};

struct CDialogSearch
{
    DWORD dwProcessId;
    HWND hDialog;
};

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    CDialogSearch& search = *reinterpret_cast<CDialogSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, 16);
    if (dwProcessId != search.dwProcessId || wcscmp(szClass, L"#32770") != 0 || !::IsWindowVisible(hWnd))
        return TRUE;
    search.hDialog = hWnd;
    return FALSE;
}

BOOL CALLBACK FindUnpaintedChild(HWND hChild, LPARAM lParam)
{
    if (::IsWindowVisible(hChild) && ::GetUpdateRect(hChild, NULL, FALSE))
    {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

// Once shown, a window keeps an update region until its WM_PAINT has begun;
// the dialog and every visible control are shown together, so an empty
// region everywhere means each of them has painted at least once.
bool IsPaintPending(HWND hDialog)
{
    if (::GetUpdateRect(hDialog, NULL, FALSE))
        return true;
    bool bPending = false;
    ::EnumChildWindows(hDialog, FindUnpaintedChild, reinterpret_cast<LPARAM>(&bPending));
    return bPending;
}

std::string ReadWholeFile(const std::wstring& strPath)
{
    std::string strText;
    const HANDLE hFile =
        ::CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return strText;
    char buffer[4096];
    DWORD dwRead = 0;
    while (::ReadFile(hFile, buffer, sizeof(buffer), &dwRead, NULL) && dwRead > 0)
        strText.append(buffer, dwRead);
    ::CloseHandle(hFile);
    return strText;
}

// Wine leaves PrivateUsage at zero for a process that uses no swap, and a
// walk of the address space would miss what Wine allocates on the host's
// side (fonts, GDI, the X connection). So under Wine the private memory is
// the host process's anonymous resident memory, RssAnon; the process is
// found among the host's processes by its command line, which holds the
// program's path in our temporary folder. Answers 0 where there is no host.
SIZE_T HostPrivateBytes(const std::wstring& strProgramPath)
{
    // Wine shows the host the program's path in the host's own encoding.
    char szWanted[MAX_PATH * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, strProgramPath.c_str(), -1, szWanted, sizeof(szWanted), NULL, NULL);
    const std::wstring strProc = L"Z:\\proc\\";
    WIN32_FIND_DATAW found;
    const HANDLE hFind = ::FindFirstFileW((strProc + L"*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    SIZE_T nBytes = 0;
    do
    {
        if (!iswdigit(found.cFileName[0]))
            continue;
        const std::string strCommandLine = ReadWholeFile(strProc + found.cFileName + L"\\cmdline");
        const std::string strProgram = strCommandLine.substr(0, strCommandLine.find('\0'));
        if (_stricmp(strProgram.c_str(), szWanted) != 0)
            continue;
        const std::string strStatus = ReadWholeFile(strProc + found.cFileName + L"\\status");
        const size_t nAt = strStatus.find("RssAnon:");
        if (nAt != std::string::npos)
            nBytes = SIZE_T(strtoull(strStatus.c_str() + nAt + 8, NULL, 10)) * 1024;
        break;
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
    return nBytes;
}

// Starts the program, waits for its first complete paint and measures it;
// closes the dialog afterwards, outside the measured time. The paint counts
// as complete when the program has gone idle in its message loop
// (WaitForInputIdle), its dialog is visible, no window of the dialog has an
// update region left, and a message sent to the dialog has been answered
// after that: the region is emptied when a paint begins, the answer comes
// only once the thread is back in its loop, so the paint has also ended.
bool MeasureStart(const std::wstring& strFolder, const wchar_t* pszFile, CStartSample& sample)
{
    std::wstring strCommandLine = L"\"" + strFolder + pszFile + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    CProcessHandles process;

    const double dStart = Seconds();
    if (!::CreateProcessW(NULL, &strCommandLine[0], NULL, NULL, FALSE, 0, NULL, strFolder.c_str(), &startup,
                          process.Receiver()))
    {
        fprintf(stderr, "cannot start %ls (error %lu)\n", pszFile, ::GetLastError());
        return false;
    }
    if (::WaitForInputIdle(process.Process(), kStartTimeoutMs) != 0)
        fprintf(stderr, "%ls did not go idle; waiting for its dialog anyway\n", pszFile);
    sample.dIdleSeconds = Seconds() - dStart;

    HWND hDialog = NULL;
    for (;;)
    {
        CDialogSearch search = {process.Id(), NULL};
        ::EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
        hDialog = search.hDialog;
        if (hDialog && sample.dShownSeconds == 0)
            sample.dShownSeconds = Seconds() - dStart;
        if (hDialog && !IsPaintPending(hDialog))
        {
            DWORD_PTR nIgnored = 0;
            ::SendMessageTimeoutW(hDialog, WM_NULL, 0, 0, SMTO_NORMAL, kRoundTripTimeoutMs, &nIgnored);
            const double dPainted = Seconds();
            if (!IsPaintPending(hDialog))
            {
                sample.dSeconds = dPainted - dStart;
                break;
            }
        }
        if (::WaitForSingleObject(process.Process(), 1) != WAIT_TIMEOUT)
        {
            fprintf(stderr, "%ls ended before painting its dialog\n", pszFile);
            return false;
        }
        if (Seconds() - dStart > kStartTimeoutMs / 1000.0)
        {
            fprintf(stderr, "%ls painted no dialog within %lu ms\n", pszFile, kStartTimeoutMs);
            ::TerminateProcess(process.Process(), 1);
            return false;
        }
    }

    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(process.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters)))
    {
        sample.nPrivateBytes = counters.PrivateUsage;
        sample.nWorkingSetBytes = counters.WorkingSetSize;
    }
    if (sample.nPrivateBytes == 0)
    {
        sample.nPrivateBytes = HostPrivateBytes(strFolder + pszFile);
        sample.bHostPrivate = true;
    }

    ::PostMessageW(hDialog, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Process(), kExitTimeoutMs) != WAIT_OBJECT_0)
    {
        fprintf(stderr, "%ls did not end after WM_CLOSE\n", pszFile);
        ::TerminateProcess(process.Process(), 1);
        return false;
    }
    return true;
}

// The sample's median, and its smallest and largest values.
struct CSpread
{
    double dMedian, dMin, dMax;
};

CSpread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t nCount = values.size();
    const double dMedian = nCount % 2 ? values[nCount / 2] : (values[nCount / 2 - 1] + values[nCount / 2]) / 2;
    return {dMedian, values.front(), values.back()};
}

template <typename Field> CSpread SpreadOf(const CProgram& program, Field field)
{
    std::vector<double> values;
    for (const CStartSample& sample : program.samples)
        values.push_back(field(sample));
    return SpreadOf(values);
}

double Milliseconds(const CStartSample& sample)
{
    return sample.dSeconds * 1e3;
}
double Megabytes(SIZE_T nBytes)
{
    return double(nBytes) / (1024.0 * 1024.0);
}
double WorkingSetMegabytes(const CStartSample& sample)
{
    return Megabytes(sample.nWorkingSetBytes);
}

void PrintLine(const char* pszLabel, const CSpread& time, const CSpread& privateMemory, const CSpread& workingSet)
{
    printf("%-18s %7.1f ms (%6.1f..%6.1f)   %6.2f MB (%5.2f..%5.2f)   %6.2f MB (%5.2f..%5.2f)\n", pszLabel,
           time.dMedian, time.dMin, time.dMax, privateMemory.dMedian, privateMemory.dMin, privateMemory.dMax,
           workingSet.dMedian, workingSet.dMin, workingSet.dMax);
}
std::wstring WideFromAnsi(const char* psz)
{
    return XTPToWide(psz, -1, CP_ACP);
}
} // namespace

int main(int argc, char** argv)
{
    bool bEachStart = false;
    int nRuns = kDefaultRuns;
    std::wstring strProgram; // the clockfix.exe to measure; by default the one beside this program
    for (int nArg = 1; nArg < argc; ++nArg)
    {
        if (strcmp(argv[nArg], "-v") == 0)
            bEachStart = true;
        else if (strcmp(argv[nArg], "--program") == 0 && nArg + 1 < argc)
            strProgram = WideFromAnsi(argv[++nArg]);
        else if ((nRuns = atoi(argv[nArg])) < 1)
        {
            fprintf(stderr, "usage: bench_startup [-v] [--program CLOCKFIX.EXE] [RUNS]\n");
            return 2;
        }
    }

    CProgram programs[] = {{"bare dialog", L"bench_bare_dialog.exe", {}}, {"clockfix.exe", L"clockfix.exe", {}}};
    CScratchFolder folder;
    if (!folder.IsCreated() || !folder.Write(L"setting.ini", kSettings))
    {
        fprintf(stderr, "cannot prepare a temporary folder\n");
        return 1;
    }
    const std::wstring strBin = ModuleFolder();
    for (const CProgram& program : programs)
    {
        const bool bGiven = !strProgram.empty() && wcscmp(program.pszFile, L"clockfix.exe") == 0;
        const std::wstring strFrom = bGiven ? strProgram : strBin + program.pszFile;
        if (!::CopyFileW(strFrom.c_str(), (folder.Path() + program.pszFile).c_str(), FALSE))
        {
            fprintf(stderr, "cannot copy %ls\n", strFrom.c_str());
            return 1;
        }
    }

    const double dBenchStart = Seconds();
    bool bHostPrivate = false;
    for (int nRun = 0; nRun <= nRuns; ++nRun)
    {
        for (CProgram& program : programs)
        {
            CStartSample sample;
            if (!MeasureStart(folder.Path(), program.pszFile, sample))
                return 1;
            if (bEachStart)
                printf("%-14s %s idle %6.1f ms, shown %6.1f ms, painted %6.1f ms; private %.2f MB, working set "
                       "%.2f MB\n",
                       program.pszLabel, nRun ? "      " : "warm-up", sample.dIdleSeconds * 1e3,
                       sample.dShownSeconds * 1e3, sample.dSeconds * 1e3, Megabytes(sample.nPrivateBytes),
                       Megabytes(sample.nWorkingSetBytes));
            if (nRun == 0)
                continue;
            program.samples.push_back(sample);
            bHostPrivate = bHostPrivate || sample.bHostPrivate;
        }
    }

    printf("Start to first complete paint, and memory once painted: %d starts each after one warm-up,\n"
           "in alternation; median (min..max); %.0f s in all, closing included.\n",
           nRuns, Seconds() - dBenchStart);
    printf("Private memory: %s.\n",
           bHostPrivate ? "the host process's RssAnon (the system reports no PrivateUsage)" : "PrivateUsage");
    const auto privateMegabytes = [](const CStartSample& sample) { return Megabytes(sample.nPrivateBytes); };
    printf("%-18s %-25s %-25s %s\n", "", "   start to paint", "   private memory", "   working set");
    CSpread spreads[2][3];
    for (int nProgram = 0; nProgram < 2; ++nProgram)
    {
        spreads[nProgram][0] = SpreadOf(programs[nProgram], Milliseconds);
        spreads[nProgram][1] = SpreadOf(programs[nProgram], privateMegabytes);
        spreads[nProgram][2] = SpreadOf(programs[nProgram], WorkingSetMegabytes);
        PrintLine(programs[nProgram].pszLabel, spreads[nProgram][0], spreads[nProgram][1], spreads[nProgram][2]);
    }
    const auto ratio = [&](int nMeasure) { return spreads[1][nMeasure].dMedian / spreads[0][nMeasure].dMedian; };
    const auto extra = [&](int nMeasure) { return spreads[1][nMeasure].dMedian - spreads[0][nMeasure].dMedian; };
    printf("%-18s %+7.1f ms  x%.2f          %+6.2f MB  x%.2f          %+6.2f MB  x%.2f\n", "clockfix - bare", extra(0),
           ratio(0), extra(1), ratio(1), extra(2), ratio(2));
    // The machine's other work only ever adds time, so the fastest starts
    // are the steadiest comparison when the medians scatter.
    printf("Fastest starts: clockfix - bare %+.1f ms, x%.2f.\n", spreads[1][0].dMin - spreads[0][0].dMin,
           spreads[1][0].dMin / spreads[0][0].dMin);
    return 0;
}
