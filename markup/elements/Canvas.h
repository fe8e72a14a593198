// A panel that puts each child at the coordinates attached to it: "Left" or
// else "Right", "Top" or else "Bottom"; a child without them sits at (0, 0).
#pragma once

#include "markup/elements/Panel.h"

class CXTPMarkupCanvas : public CXTPMarkupPanel
{
    DECLARE_MARKUPCLASS(CXTPMarkupCanvas)
public:
    CXTPMarkupCanvas();

    // Attached, read on the children at every arrangement; changing them
    // invalidates nothing.
    static CXTPMarkupDependencyProperty* m_pLeftProperty; // Int
    static CXTPMarkupDependencyProperty* m_pTopProperty;
    static CXTPMarkupDependencyProperty* m_pRightProperty;
    static CXTPMarkupDependencyProperty* m_pBottomProperty;
    static void RegisterMarkupProperties();

protected:
    // Children get all the room they want; the canvas itself asks for none.
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
};
