// Four-sided thickness value (margins, paddings, borders) and its text form.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupThickness : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupThickness)
public:
    CXTPMarkupThickness(int nLeft, int nTop, int nRight, int nBottom);
    explicit CXTPMarkupThickness(int nUniform = 0);

    // The shared all-zero thickness, one reference.
    static CXTPMarkupThickness* CreateZeroValue();

    int GetLeft() const { return m_nLeft; }
    int GetTop() const { return m_nTop; }
    int GetRight() const { return m_nRight; }
    int GetBottom() const { return m_nBottom; }
    BOOL IsZero() const { return !m_nLeft && !m_nTop && !m_nRight && !m_nBottom; }

    // With a comma: "%i, %i, %i, %i" as scanf reads it (signs, 0x hexadecimal,
    // leading-0 octal, any white space after each comma), exactly four
    // numbers. Without: one integer by atol rules for all four sides.
    static BOOL ReadText(LPCWSTR lpszText, int nLength, int& nLeft, int& nTop, int& nRight, int& nBottom);

    // The inner rectangle; it never turns inside out. Without a thickness the
    // rectangle is returned as it is.
    static RECT DeflateRect(const RECT& rc, const CXTPMarkupThickness* pThickness);

    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    int m_nLeft;
    int m_nTop;
    int m_nRight;
    int m_nBottom;
};
