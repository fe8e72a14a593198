#include "toolkit/Msimg32Functions.h"

#include "toolkit/OptionalFunction.h"

CXTPMsimg32Functions::CXTPMsimg32Functions()
{
    m_hMsImgDll = ::LoadLibraryA("msimg32.dll");
    if (!m_hMsImgDll)
        return;
    m_pfnGradientFill = XTPGetOptionalFunction<PFNGRADIENTFILL>(m_hMsImgDll, "GradientFill");
    m_pfnAlphaBlend = XTPGetOptionalFunction<PFNALPHABLEND>(m_hMsImgDll, "AlphaBlend");
    m_pfnTransparentBlt = XTPGetOptionalFunction<PFNTRANSPARENTBLT>(m_hMsImgDll, "TransparentBlt");
}

const CXTPMsimg32Functions& CXTPMsimg32Functions::Get()
{
    // Never destroyed: drawing may still happen while static objects go away.
    static const CXTPMsimg32Functions* const s_pFunctions = new CXTPMsimg32Functions();
    return *s_pFunctions;
}
