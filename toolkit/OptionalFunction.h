// Entry points that some systems lack, looked up at run time instead of
// imported, so that the program still starts where they are missing.
#pragma once

#include <windows.h>

// The typed entry point pszName of hModule; null when the module is null or
// lacks it. Callers keep the answer and have their fallback beside the call.
template <class TFunction> TFunction XTPGetOptionalFunction(HMODULE hModule, const char* pszName)
{
    if (!hModule)
        return nullptr;
    // GetProcAddress answers a generic FARPROC; the typed pointer is the real signature.
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}
