// A panel that flows its children into lines, breaking where the next child
// would pass the panel's width (or height, when vertical). Lines start at the
// edge and every item of a line gets the line's full thickness.
#pragma once

#include "markup/elements/Panel.h"

class CXTPMarkupWrapPanel : public CXTPMarkupPanel
{
    DECLARE_MARKUPCLASS(CXTPMarkupWrapPanel)
public:
    CXTPMarkupWrapPanel();

    static CXTPMarkupDependencyProperty* m_pOrientationProperty; // Enum, unset reads "Horizontal"
    static CXTPMarkupDependencyProperty* m_pItemWidthProperty;   // Int; every item's slot width
    static CXTPMarkupDependencyProperty* m_pItemHeightProperty;  // Int; every item's slot height
    static void RegisterMarkupProperties();

    int GetOrientation() const; // xtpMarkupOrientationHorizontal or Vertical

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;

private:
    // An item's slot: "ItemWidth"/"ItemHeight" where set, else its measured size.
    SIZE GetItemSize(const CXTPMarkupUIElement* pChild) const;
    void ArrangeLine(BOOL bHorizontal, int nLinePosition, int nLineThickness, int nFirst, int nEnd);
    BOOL GetItemExtent(const CXTPMarkupDependencyProperty* pProperty, int& nExtent) const;
};
