// Point value with double coordinates, as the gradient end points use it.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupPoint : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupPoint)
public:
    explicit CXTPMarkupPoint(double x = 0, double y = 0);

    double GetX() const { return m_x; }
    double GetY() const { return m_y; }

    // Two numbers: x ends at a space or ","; spaces and one "," follow; y
    // must end the text (trailing spaces allowed). "1,5" and "3 4" both read.
    static BOOL ReadText(LPCWSTR lpszText, int nLength, double& x, double& y);

    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;

private:
    double m_x;
    double m_y;
};
