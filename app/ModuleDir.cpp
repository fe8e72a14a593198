#include "app/ModuleDir.h"

std::wstring g_strModuleDir;

BOOL ReadModulePath(std::wstring& strPath, ModuleFileNameFunction pfnModuleFileName)
{
    // One character beyond what the platform is told: older systems fill a
    // short buffer to the last character without a terminator.
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD dwLength = pfnModuleFileName(NULL, path, MAX_PATH);
    strPath = path;
    return dwLength > 0 && dwLength < MAX_PATH;
}

std::wstring DirectoryOfPath(const std::wstring& strPath)
{
    const size_t nLast = strPath.rfind(L'\\');
    return nLast == std::wstring::npos ? std::wstring() : strPath.substr(0, nLast + 1);
}

void InitModuleDir()
{
    std::wstring strPath;
    ReadModulePath(strPath);
    g_strModuleDir = DirectoryOfPath(strPath);
}
