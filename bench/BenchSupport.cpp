#include "BenchSupport.h"

#include "support/DialogTexts.h"

#include <windows.h>

#include <cstdio>

std::wstring ModuleFolder()
{
    wchar_t szPath[MAX_PATH * 2] = {};
    const DWORD dwLength = ::GetModuleFileNameW(NULL, szPath, MAX_PATH * 2);
    std::wstring strPath(szPath, dwLength);
    return strPath.substr(0, strPath.find_last_of(L"\\/") + 1);
}

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

double SecondsPerRun(const std::function<void()>& work, double dMinimum)
{
    work();
    long nRuns = 0;
    const double start = Seconds();
    double elapsed;
    do
    {
        work();
        nRuns++;
        elapsed = Seconds() - start;
    } while (elapsed < dMinimum);
    return elapsed / double(nRuns);
}

double ReportThroughput(const char* pszName, size_t nBytes, const char* pszDetail, double dSecondsPerRun)
{
    const double dNsPerByte = dSecondsPerRun * 1e9 / double(nBytes);
    printf("%-14s %9zu bytes%s %12.0f documents/s %8.1f MB/s %6.2f ns/byte\n", pszName, nBytes, pszDetail,
           1.0 / dSecondsPerRun, double(nBytes) / dSecondsPerRun / 1e6, dNsPerByte);
    return dNsPerByte;
}

std::string GenerateDocument(const char* pszUtf8Block, size_t nBytes)
{
    const std::string block = Cp936FromUtf8(pszUtf8Block);
    std::string text = "<?xml version='1.0'?>\r\n<StackPanel>\r\n";
    while (text.size() + block.size() < nBytes)
        text += block;
    return text + "</StackPanel>";
}

void MeasureDocuments(const char* pszUtf8Block,
                      const std::function<double(const char* pszName, const std::string& text)>& measure)
{
    printf("ANSI code page %u\n", GetACP());
    measure("information", kInfoMarkup);
    measure("result", SampleResultPanelMarkup());
    measure("button", kButtonFaceMarkup);
    const double small = measure("generated 1 MB", GenerateDocument(pszUtf8Block, 1 << 20));
    const double large = measure("generated 4 MB", GenerateDocument(pszUtf8Block, 4 << 20));
    if (small > 0)
        printf("cost per byte, 4 MB against 1 MB: %.2f (1.00 is linear)\n", large / small);
}
