#include "toolkit/DCLayout.h"

#include "toolkit/OptionalFunction.h"

namespace
{
using PFNGETLAYOUT = DWORD(WINAPI*)(HDC);
using PFNSETLAYOUT = DWORD(WINAPI*)(HDC, DWORD);

HMODULE Gdi32()
{
    return ::GetModuleHandleA("GDI32.DLL");
}
} // namespace

DWORD GetDCLayout(HDC hdc)
{
    static const PFNGETLAYOUT pfn = XTPGetOptionalFunction<PFNGETLAYOUT>(Gdi32(), "GetLayout");
    if (!pfn)
        return 0;
    const DWORD dwLayout = pfn(hdc);
    return dwLayout == GDI_ERROR ? 0 : dwLayout;
}

DWORD SetDCLayout(HDC hdc, DWORD dwLayout)
{
    static const PFNSETLAYOUT pfn = XTPGetOptionalFunction<PFNSETLAYOUT>(Gdi32(), "SetLayout");
    if (!pfn)
        return 0;
    return pfn(hdc, dwLayout);
}
