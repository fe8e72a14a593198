#include "markup/elements/PointCollection.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <utility>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupPointCollection, CXTPMarkupObject)

CXTPMarkupPointCollection::CXTPMarkupPointCollection() : m_rcBounds{0, 0, 0, 0} {}

CXTPMarkupPointCollection::CXTPMarkupPointCollection(std::vector<POINT> points)
    : m_points(std::move(points)), m_rcBounds{0, 0, 0, 0}
{
    for (const POINT& pt : m_points)
    {
        m_rcBounds.right = std::max(m_rcBounds.right, pt.x);
        m_rcBounds.bottom = std::max(m_rcBounds.bottom, pt.y);
    }
}

namespace
{
// One integer: spaces, an optional minus, digits, then one space, one comma
// or the end. Saturates at the 32-bit limits.
BOOL ScanInteger(LPCWSTR lpszText, int nLength, int& nPos, LONG& nValue)
{
    while (nPos < nLength && lpszText[nPos] == L' ')
        ++nPos;
    BOOL bNegative = FALSE;
    if (nPos < nLength && lpszText[nPos] == L'-')
    {
        bNegative = TRUE;
        ++nPos;
    }
    long long n = 0;
    const int nStart = nPos;
    while (nPos < nLength && lpszText[nPos] >= L'0' && lpszText[nPos] <= L'9')
    {
        n = std::min<long long>(n * 10 + (lpszText[nPos] - L'0'), 1LL << 32);
        ++nPos;
    }
    if (nPos == nStart)
        return FALSE;
    if (nPos < nLength)
    {
        if (lpszText[nPos] != L' ' && lpszText[nPos] != L',')
            return FALSE;
        ++nPos;
    }
    nValue = XTPMarkupLayout::Clamp(bNegative ? -n : n);
    return TRUE;
}
} // namespace

BOOL CXTPMarkupPointCollection::ReadText(LPCWSTR lpszText, int nLength, std::vector<POINT>& points)
{
    int nPos = 0;
    while (nPos < nLength)
    {
        POINT pt;
        if (!ScanInteger(lpszText, nLength, nPos, pt.x) || !ScanInteger(lpszText, nLength, nPos, pt.y))
            return FALSE;
        points.push_back(pt);
        while (nPos < nLength && lpszText[nPos] == L' ')
            ++nPos;
    }
    return TRUE;
}

CXTPMarkupObject* CXTPMarkupPointCollection::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    std::vector<POINT> points;
    if (!pString || !ReadText(pString->GetText(), pString->GetLength(), points))
        return nullptr;
    return new CXTPMarkupPointCollection(std::move(points));
}
