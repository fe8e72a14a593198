// Tasks in the root folder of the system's task scheduler, registered from
// their XML definition.
#pragma once

#include <windows.h>

#include <string>

class CTaskScheduler
{
public:
    // Creates the task or replaces one of the same name.
    static HRESULT Register(LPCWSTR pszName, const std::wstring& strXml);
    // S_OK also when there was no such task.
    static HRESULT Delete(LPCWSTR pszName);
};
