#include "markup/model/Thickness.h"

#include "markup/model/SharedValue.h"
#include "markup/model/String.h"
#include "markup/model/TextScanner.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <climits>

namespace
{
// Rectangles near the unbounded extent must not wrap around.
LONG Saturate(long long nValue)
{
    return static_cast<LONG>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
}
} // namespace

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupThickness, CXTPMarkupObject)

CXTPMarkupThickness::CXTPMarkupThickness(int nLeft, int nTop, int nRight, int nBottom)
    : m_nLeft(nLeft), m_nTop(nTop), m_nRight(nRight), m_nBottom(nBottom)
{
}

CXTPMarkupThickness::CXTPMarkupThickness(int nUniform) : CXTPMarkupThickness(nUniform, nUniform, nUniform, nUniform) {}

CXTPMarkupThickness* CXTPMarkupThickness::CreateZeroValue()
{
    static CXTPMarkupSharedValue<CXTPMarkupThickness> s_zero(new CXTPMarkupThickness(0));
    return s_zero.Get();
}

BOOL CXTPMarkupThickness::ReadText(LPCWSTR lpszText, int nLength, int& nLeft, int& nTop, int& nRight, int& nBottom)
{
    if (!lpszText || nLength < 0)
        return FALSE;
    if (std::find(lpszText, lpszText + nLength, L',') == lpszText + nLength)
    {
        nLeft = nTop = nRight = nBottom = CXTPMarkupTextScanner(lpszText, nLength).ReadLong();
        return TRUE;
    }

    CXTPMarkupTextScanner scanner(lpszText, nLength);
    int nSides[4];
    for (int i = 0; i < 4; ++i)
    {
        if (i > 0)
        {
            if (!scanner.SkipChar(','))
                return FALSE;
            scanner.SkipWhitespace();
        }
        if (!scanner.ScanInteger(nSides[i]))
            return FALSE;
    }
    nLeft = nSides[0];
    nTop = nSides[1];
    nRight = nSides[2];
    nBottom = nSides[3];
    return TRUE;
}

RECT CXTPMarkupThickness::DeflateRect(const RECT& rc, const CXTPMarkupThickness* pThickness)
{
    if (!pThickness)
        return rc;
    RECT rcInner;
    rcInner.left = Saturate(static_cast<long long>(rc.left) + pThickness->m_nLeft);
    rcInner.top = Saturate(static_cast<long long>(rc.top) + pThickness->m_nTop);
    rcInner.right = std::max(Saturate(static_cast<long long>(rc.right) - pThickness->m_nRight), rcInner.left);
    rcInner.bottom = std::max(Saturate(static_cast<long long>(rc.bottom) - pThickness->m_nBottom), rcInner.top);
    return rcInner;
}

CXTPMarkupObject* CXTPMarkupThickness::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    int nLeft, nTop, nRight, nBottom;
    if (!pString || !ReadText(pString->GetText(), pString->GetLength(), nLeft, nTop, nRight, nBottom))
        return nullptr;
    if (!nLeft && !nTop && !nRight && !nBottom)
        return CreateZeroValue();
    return new CXTPMarkupThickness(nLeft, nTop, nRight, nBottom);
}

BOOL CXTPMarkupThickness::IsEqual(const CXTPMarkupObject* pObject) const
{
    if (!pObject || pObject->GetType() != GetType())
        return FALSE;
    const CXTPMarkupThickness* pOther = static_cast<const CXTPMarkupThickness*>(pObject);
    return pOther->m_nLeft == m_nLeft && pOther->m_nTop == m_nTop && pOther->m_nRight == m_nRight
           && pOther->m_nBottom == m_nBottom;
}
