#include "markup/elements/GridLength.h"

#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <wchar.h>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupGridLength, CXTPMarkupObject)

CXTPMarkupGridLength::CXTPMarkupGridLength(double dValue, int nUnit) : m_dValue(dValue), m_nUnit(nUnit) {}

CXTPMarkupObject* CXTPMarkupGridLength::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    LPCWSTR lpszText = pString->GetText();
    const int nLength = pString->GetLength();
    if (nLength == 4 && _wcsnicmp(lpszText, L"Auto", 4) == 0)
        return new CXTPMarkupGridLength(1.0, Auto);

    double dNumber = 0;
    if (nLength > 0 && lpszText[nLength - 1] == L'*')
    {
        if (nLength == 1)
            return new CXTPMarkupGridLength(1.0, Star);
        if (!CXTPMarkupDouble::ReadText(lpszText, nLength - 1, dNumber))
            return nullptr;
        return new CXTPMarkupGridLength(dNumber, Star);
    }
    if (nLength == 0 || !CXTPMarkupDouble::ReadText(lpszText, nLength, dNumber))
        return nullptr;
    return new CXTPMarkupGridLength(dNumber, Pixel);
}

BOOL CXTPMarkupGridLength::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupGridLength* pOther = MarkupCast<CXTPMarkupGridLength>(pObject);
    return pOther && pOther->GetType() == GetType() && pOther->m_dValue == m_dValue && pOther->m_nUnit == m_nUnit;
}
