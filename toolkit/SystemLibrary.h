// CXTPSystemLibrary: a DLL of the system directory loaded for a few calls and
// unloaded again, for functions whose DLL would otherwise stay in memory for
// the program's whole life (shell32 and its helpers weigh about 1 MB).
#pragma once

#include "toolkit/OptionalFunction.h"

#include <windows.h>

#include <string>

class CXTPSystemLibrary
{
public:
    explicit CXTPSystemLibrary(const wchar_t* pszName)
    {
        wchar_t szDir[MAX_PATH] = {};
        const UINT nLength = ::GetSystemDirectoryW(szDir, MAX_PATH);
        if (nLength > 0 && nLength < MAX_PATH)
            m_hModule = ::LoadLibraryW((std::wstring(szDir) + L"\\" + pszName).c_str());
    }
    ~CXTPSystemLibrary()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    CXTPSystemLibrary(const CXTPSystemLibrary&) = delete;
    CXTPSystemLibrary& operator=(const CXTPSystemLibrary&) = delete;

    // The function of that name as type TFunction, or null.
    template <class TFunction> TFunction Get(const char* pszFunction) const
    {
        return XTPGetOptionalFunction<TFunction>(m_hModule, pszFunction);
    }

private:
    HMODULE m_hModule = nullptr;
};
