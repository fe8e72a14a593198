#include "app/WindowDpi.h"

#include "toolkit/OptionalFunction.h"

namespace
{
using PFNGETDPIFORWINDOW = UINT(WINAPI*)(HWND);

PFNGETDPIFORWINDOW LookUpGetDpiForWindow()
{
    // Only systems with per-monitor DPI have it.
    return XTPGetOptionalFunction<PFNGETDPIFORWINDOW>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
}
} // namespace

int WindowDpi(HWND hWnd)
{
    static const PFNGETDPIFORWINDOW s_pfnGetDpiForWindow = LookUpGetDpiForWindow();
    if (hWnd && s_pfnGetDpiForWindow)
    {
        if (const UINT nDpi = s_pfnGetDpiForWindow(hWnd))
            return static_cast<int>(nDpi);
    }
    HDC hScreen = ::GetDC(NULL);
    const int nDpi = hScreen ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : 0;
    if (hScreen)
        ::ReleaseDC(NULL, hScreen);
    return nDpi > 0 ? nDpi : kDefaultDpi;
}
