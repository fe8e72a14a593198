// Text value: a UTF-16 string with its length.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupString : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupString)
public:
    CXTPMarkupString(); // empty; the prototype of conversions

    // A string of the text (nLength -1: up to the terminator), with one
    // reference. Empty text, " " and "\n" give shared instances.
    static CXTPMarkupString* CreateValue(LPCWSTR lpszText, int nLength = -1);

    LPCWSTR GetText() const { return m_lpszText; } // always NUL-terminated
    int GetLength() const { return m_nLength; }    // in UTF-16 units
    operator LPCWSTR() const { return m_lpszText; }

    // Same class, same length and the same text, case-sensitive.
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;
    UINT HashValue() const override; // h = h * 33 + unit

protected:
    ~CXTPMarkupString() override;

private:
    CXTPMarkupString(LPCWSTR lpszText, int nLength);

    LPWSTR m_lpszText;
    int m_nLength;
};
