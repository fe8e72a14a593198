#include "markup/model/Point.h"

#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupPoint, CXTPMarkupObject)

CXTPMarkupPoint::CXTPMarkupPoint(double x, double y) : m_x(x), m_y(y) {}

BOOL CXTPMarkupPoint::ReadText(LPCWSTR lpszText, int nLength, double& x, double& y)
{
    int nPos = 0;
    return CXTPMarkupDouble::ScanNumber(lpszText, nLength, nPos, L',', x)
           && CXTPMarkupDouble::ScanNumber(lpszText, nLength, nPos, 0, y) && nPos == nLength;
}

CXTPMarkupObject* CXTPMarkupPoint::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    double x, y;
    if (!pString || !ReadText(pString->GetText(), pString->GetLength(), x, y))
        return nullptr;
    return new CXTPMarkupPoint(x, y);
}
