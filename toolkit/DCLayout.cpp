#include "toolkit/DCLayout.h"

namespace
{
using PFNGETLAYOUT = DWORD(WINAPI*)(HDC);
using PFNSETLAYOUT = DWORD(WINAPI*)(HDC, DWORD);

// Stands for an entry point not looked up yet; null means it is missing.
void* const kNotLookedUp = reinterpret_cast<void*>(static_cast<INT_PTR>(-1));

void* s_pfnGetLayout = kNotLookedUp;
void* s_pfnSetLayout = kNotLookedUp;

void* LookUpGdi32(void*& pfnCached, const char* pszName)
{
    if (pfnCached == kNotLookedUp)
    {
        HMODULE hGdi = ::GetModuleHandleA("GDI32.DLL");
        pfnCached = hGdi ? reinterpret_cast<void*>(::GetProcAddress(hGdi, pszName)) : nullptr;
    }
    return pfnCached;
}
} // namespace

DWORD GetDCLayout(HDC hdc)
{
    auto pfn = reinterpret_cast<PFNGETLAYOUT>(LookUpGdi32(s_pfnGetLayout, "GetLayout"));
    if (!pfn)
        return 0;
    const DWORD dwLayout = pfn(hdc);
    return dwLayout == GDI_ERROR ? 0 : dwLayout;
}

DWORD SetDCLayout(HDC hdc, DWORD dwLayout)
{
    auto pfn = reinterpret_cast<PFNSETLAYOUT>(LookUpGdi32(s_pfnSetLayout, "SetLayout"));
    if (!pfn)
        return 0;
    return pfn(hdc, dwLayout);
}
