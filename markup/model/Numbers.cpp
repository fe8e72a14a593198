#include "markup/model/Numbers.h"

#include "markup/model/SharedValue.h"
#include "markup/model/String.h"
#include "markup/model/TextScanner.h"
#include "markup/model/Type.h"

#include <cmath>

namespace
{
template <class T> const T* SameClass(const CXTPMarkupObject* pThis, const CXTPMarkupObject* pObject)
{
    return pObject && pObject->GetType() == pThis->GetType() ? static_cast<const T*>(pObject) : nullptr;
}
} // namespace

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupInt, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupDouble, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupEnum, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupBool, CXTPMarkupObject)

// Integers

CXTPMarkupInt::CXTPMarkupInt(int nValue) : m_nValue(nValue) {}

int CXTPMarkupInt::ReadText(LPCWSTR lpszText, int nLength)
{
    return CXTPMarkupTextScanner(lpszText, nLength).ReadLong();
}

CXTPMarkupObject* CXTPMarkupInt::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    return new CXTPMarkupInt(ReadText(pString->GetText(), pString->GetLength()));
}

BOOL CXTPMarkupInt::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupInt* pOther = SameClass<CXTPMarkupInt>(this, pObject);
    return pOther && pOther->m_nValue == m_nValue;
}

// Doubles

CXTPMarkupDouble::CXTPMarkupDouble(double dValue) : m_dValue(dValue) {}

BOOL CXTPMarkupDouble::ScanNumber(LPCWSTR lpszText, int nLength, int& nPos, WCHAR chSeparator, double& dValue)
{
    if (!lpszText || nPos < 0)
        return FALSE;
    int i = nPos;
    while (i < nLength && lpszText[i] == ' ')
        ++i;
    BOOL bNegative = FALSE;
    if (i < nLength && (lpszText[i] == '-' || lpszText[i] == '+'))
        bNegative = lpszText[i++] == '-';

    double dResult = 0;
    double dFactor = 1;
    BOOL bPoint = FALSE;
    int nDigits = 0;
    for (; i < nLength; ++i)
    {
        WCHAR ch = lpszText[i];
        if (ch == ' ' || (chSeparator && ch == chSeparator))
            break;
        if (ch == '.' && !bPoint)
        {
            bPoint = TRUE;
            continue;
        }
        if (ch < '0' || ch > '9')
            return FALSE;
        ++nDigits;
        if (bPoint)
        {
            dFactor *= 0.1;
            dResult += (ch - '0') * dFactor;
        }
        else
        {
            dResult = dResult * 10 + (ch - '0');
        }
    }
    // A number of a few hundred digits runs past the largest double.
    if (nDigits == 0 || !std::isfinite(dResult))
        return FALSE;

    while (i < nLength && lpszText[i] == ' ')
        ++i;
    if (chSeparator && i < nLength && lpszText[i] == chSeparator)
        ++i;
    while (i < nLength && lpszText[i] == ' ')
        ++i;

    nPos = i;
    dValue = bNegative ? -dResult : dResult;
    return TRUE;
}

BOOL CXTPMarkupDouble::ReadText(LPCWSTR lpszText, int nLength, double& dValue)
{
    int nPos = 0;
    return ScanNumber(lpszText, nLength, nPos, 0, dValue) && nPos == nLength;
}

CXTPMarkupObject* CXTPMarkupDouble::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    double dValue;
    if (!pString || !ReadText(pString->GetText(), pString->GetLength(), dValue))
        return nullptr;
    return new CXTPMarkupDouble(dValue);
}

BOOL CXTPMarkupDouble::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupDouble* pOther = SameClass<CXTPMarkupDouble>(this, pObject);
    return pOther && pOther->m_dValue == m_dValue;
}

// Enumerations

CXTPMarkupEnum::CXTPMarkupEnum(int nValue) : m_nValue(nValue) {}

CXTPMarkupEnum* CXTPMarkupEnum::CreateValue(int nValue)
{
    // The keyword values of every table fit in 0..7; one object each serves
    // all attributes.
    struct CSmallValues
    {
        CSmallValues()
        {
            for (int i = 0; i < 8; ++i)
            {
                m_pValues[i] = new CXTPMarkupEnum(i);
                m_pValues[i]->MarkPermanent();
            }
        }
        ~CSmallValues()
        {
            for (CXTPMarkupEnum* pValue : m_pValues)
                pValue->Release();
        }
        CXTPMarkupEnum* m_pValues[8];
    };
    static CSmallValues s_small;
    if (nValue >= 0 && nValue < 8)
    {
        s_small.m_pValues[nValue]->AddRef();
        return s_small.m_pValues[nValue];
    }
    return new CXTPMarkupEnum(nValue);
}

BOOL CXTPMarkupEnum::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupEnum* pOther = SameClass<CXTPMarkupEnum>(this, pObject);
    return pOther && pOther->m_nValue == m_nValue;
}

// Booleans

CXTPMarkupBool::CXTPMarkupBool(BOOL bValue) : m_bValue(bValue ? TRUE : FALSE) {}

CXTPMarkupBool* CXTPMarkupBool::CreateTrueValue()
{
    static CXTPMarkupSharedValue<CXTPMarkupBool> s_true(new CXTPMarkupBool(TRUE));
    return s_true.Get();
}

CXTPMarkupBool* CXTPMarkupBool::CreateFalseValue()
{
    static CXTPMarkupSharedValue<CXTPMarkupBool> s_false(new CXTPMarkupBool(FALSE));
    return s_false.Get();
}

CXTPMarkupBool* CXTPMarkupBool::CreateValue(BOOL bValue)
{
    return bValue ? CreateTrueValue() : CreateFalseValue();
}

CXTPMarkupObject* CXTPMarkupBool::ParseValue(CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    if (CXTPMarkupTextScanner::EqualsNoCase(pString->GetText(), pString->GetLength(), "True"))
        return CreateTrueValue();
    if (CXTPMarkupTextScanner::EqualsNoCase(pString->GetText(), pString->GetLength(), "False"))
        return CreateFalseValue();
    return nullptr;
}

BOOL CXTPMarkupBool::IsEqual(const CXTPMarkupObject* pObject) const
{
    const CXTPMarkupBool* pOther = SameClass<CXTPMarkupBool>(this, pObject);
    return pOther && pOther->m_bValue == m_bValue;
}
