// The size of a grid column or row: a number of pixels, "Auto" (the content's
// size) or a share of the space left ("*", "2*").
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupGridLength : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupGridLength)
public:
    enum Unit
    {
        Auto = 0,
        Pixel = 1,
        Star = 2,
    };

    explicit CXTPMarkupGridLength(double dValue = 1.0, int nUnit = Star);

    double GetValue() const { return m_dValue; }
    int GetUnit() const { return m_nUnit; }
    BOOL IsAuto() const { return m_nUnit == Auto; }
    BOOL IsStar() const { return m_nUnit == Star; }

    // "Auto" (any case), "*", a real number followed by "*", or a real number
    // of pixels; anything else, the empty text included, gives null.
    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

private:
    double m_dValue;
    int m_nUnit;
};
