// The drawing entry points of msimg32.dll, looked up once at run time.
#pragma once

#include <windows.h>

class CXTPMsimg32Functions
{
public:
    using PFNGRADIENTFILL = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    using PFNALPHABLEND = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using PFNTRANSPARENTBLT = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

    // The process-wide record, filled at the first call. The library stays
    // loaded until the process ends. Any entry point may be null.
    static const CXTPMsimg32Functions& Get();

    HMODULE m_hMsImgDll = nullptr;
    PFNGRADIENTFILL m_pfnGradientFill = nullptr;
    PFNALPHABLEND m_pfnAlphaBlend = nullptr;
    PFNTRANSPARENTBLT m_pfnTransparentBlt = nullptr;

private:
    CXTPMsimg32Functions();
};
