// A panel that stacks its children in one column (or row): each child gets its
// measured extent along the stack and at least the panel's extent across it.
#pragma once

#include "markup/elements/Panel.h"

class CXTPMarkupStackPanel : public CXTPMarkupPanel
{
    DECLARE_MARKUPCLASS(CXTPMarkupStackPanel)
public:
    CXTPMarkupStackPanel();

    static CXTPMarkupDependencyProperty* m_pOrientationProperty; // Enum, unset reads "Vertical"
    static void RegisterMarkupProperties();

    int GetOrientation() const; // xtpMarkupOrientationHorizontal or Vertical

protected:
    // The stacking direction is offered without bound; children that do not
    // fit are not shrunk but run past the panel's edge.
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
};
