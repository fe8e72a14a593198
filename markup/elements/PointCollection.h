// A list of whole-pixel points, the figure of a polygon or a polyline.
#pragma once

#include "markup/model/Object.h"

#include <vector>

class CXTPMarkupPointCollection : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupPointCollection)
public:
    CXTPMarkupPointCollection();
    explicit CXTPMarkupPointCollection(std::vector<POINT> points);

    const std::vector<POINT>& GetPoints() const { return m_points; }
    // (0, 0, largest x, largest y); negative coordinates do not extend it.
    const RECT& GetBounds() const { return m_rcBounds; }

    // Pairs of integers ("0,0 10,0 10,10" or "0 0, 10 0"): each may have
    // spaces and a minus sign before it and ends at one space, one comma or
    // the end; spaces after a pair are skipped. The empty text is an empty
    // list; anything else gives null.
    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
    static BOOL ReadText(LPCWSTR lpszText, int nLength, std::vector<POINT>& points);

private:
    std::vector<POINT> m_points;
    RECT m_rcBounds;
};
