// Colour value (markup element "Color") and the colour text forms: "#RRGGBB",
// "#AARRGGBB" and the 140 colour names.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupColor : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupColor)
public:
    explicit CXTPMarkupColor(COLORREF clr = 0);
    COLORREF GetColor() const { return m_clr; }

    // "#%2x%2x%2x" for 7 characters, "#%2x%2x%2x%2x" (alpha dropped) for 9,
    // any other "#" text fails; everything else is a colour name.
    static BOOL ParseColorText(LPCWSTR lpszText, int nLength, COLORREF& clr);

    // The 140 names, ignoring case; "Transparent" and "Grey" are not among them.
    static BOOL LookupNamedColor(LPCWSTR lpszName, int nLength, COLORREF& clr);

    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

    // Text content such as <Color>#FF0000</Color> sets the colour.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;

private:
    COLORREF m_clr;
};
