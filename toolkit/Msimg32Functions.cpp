#include "toolkit/Msimg32Functions.h"

namespace
{
template <class TFunction> TFunction LookUp(HMODULE hModule, const char* pszName)
{
    // GetProcAddress answers a generic FARPROC; the typed pointer is the real signature.
    return reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}
} // namespace

CXTPMsimg32Functions::CXTPMsimg32Functions()
{
    m_hMsImgDll = ::LoadLibraryA("msimg32.dll");
    if (!m_hMsImgDll)
        return;
    m_pfnGradientFill = LookUp<PFNGRADIENTFILL>(m_hMsImgDll, "GradientFill");
    m_pfnAlphaBlend = LookUp<PFNALPHABLEND>(m_hMsImgDll, "AlphaBlend");
    m_pfnTransparentBlt = LookUp<PFNTRANSPARENTBLT>(m_hMsImgDll, "TransparentBlt");
}

const CXTPMsimg32Functions& CXTPMsimg32Functions::Get()
{
    // Never destroyed: drawing may still happen while static objects go away.
    static const CXTPMsimg32Functions* const s_pFunctions = new CXTPMsimg32Functions();
    return *s_pFunctions;
}
