#include "markup/model/String.h"

#include "markup/model/SharedValue.h"
#include "markup/model/Type.h"

#include <cwchar>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupString, CXTPMarkupObject)

CXTPMarkupString::CXTPMarkupString() : CXTPMarkupString(L"", 0) {}

CXTPMarkupString::CXTPMarkupString(LPCWSTR lpszText, int nLength)
    : m_lpszText(new WCHAR[nLength + 1]), m_nLength(nLength)
{
    wmemcpy(m_lpszText, lpszText, nLength);
    m_lpszText[nLength] = 0;
}

CXTPMarkupString::~CXTPMarkupString()
{
    delete[] m_lpszText;
}

CXTPMarkupString* CXTPMarkupString::CreateValue(LPCWSTR lpszText, int nLength)
{
    static CXTPMarkupSharedValue<CXTPMarkupString> s_empty(new CXTPMarkupString(L"", 0));
    static CXTPMarkupSharedValue<CXTPMarkupString> s_space(new CXTPMarkupString(L" ", 1));
    static CXTPMarkupSharedValue<CXTPMarkupString> s_newLine(new CXTPMarkupString(L"\n", 1));

    if (!lpszText)
        nLength = 0;
    else if (nLength < 0)
        nLength = static_cast<int>(wcslen(lpszText));

    if (nLength == 0)
        return s_empty.Get();
    if (nLength == 1 && lpszText[0] == ' ')
        return s_space.Get();
    if (nLength == 1 && lpszText[0] == '\n')
        return s_newLine.Get();
    return new CXTPMarkupString(lpszText, nLength);
}

BOOL CXTPMarkupString::IsEqual(const CXTPMarkupObject* pObject) const
{
    if (pObject == this)
        return TRUE;
    if (!pObject || pObject->GetType() != GetType())
        return FALSE;
    const CXTPMarkupString* pOther = static_cast<const CXTPMarkupString*>(pObject);
    return pOther->m_nLength == m_nLength && wmemcmp(pOther->m_lpszText, m_lpszText, m_nLength) == 0;
}

UINT CXTPMarkupString::HashValue() const
{
    UINT nHash = 0;
    for (int i = 0; i < m_nLength; ++i)
        nHash = nHash * 33 + m_lpszText[i];
    return nHash;
}
