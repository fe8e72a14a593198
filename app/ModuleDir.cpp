#include "app/ModuleDir.h"

std::string g_strModuleDir;

BOOL ReadModulePath(std::string& strPath, ModuleFileNameFunction pfnModuleFileName)
{
    // One byte beyond what the platform is told: older systems fill a short
    // buffer to the last byte without a terminator.
    char path[MAX_PATH + 1] = {};
    const DWORD dwLength = pfnModuleFileName(NULL, path, MAX_PATH);
    strPath = path;
    return dwLength > 0 && dwLength < MAX_PATH;
}

std::string DirectoryOfPath(LPCSTR pszPath)
{
    LPCSTR pszLast = NULL;
    for (LPCSTR p = pszPath; *p != '\0'; ++p)
    {
        if (*p == '\\')
            pszLast = p;
        else if (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0')
            ++p;
    }
    return pszLast ? std::string(pszPath, pszLast + 1) : std::string();
}

void InitModuleDir()
{
    std::string strPath;
    ReadModulePath(strPath);
    g_strModuleDir = DirectoryOfPath(strPath.c_str());
}
