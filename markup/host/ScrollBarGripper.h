// The square where a scroll viewer's two bars meet, filled with the face
// colour so that no content shows through between them.
#pragma once

#include "markup/elements/UIElement.h"

class CXTPMarkupScrollBarGripper : public CXTPMarkupUIElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupScrollBarGripper)
public:
    CXTPMarkupScrollBarGripper();

protected:
    // Placed where it is arranged: a plain element would stay at its
    // parent's origin and be drawn and hit over the content's corner there.
    void ArrangeElement(const RECT& rcFinal) override;
    BOOL MoveArrangement(int dx, int dy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
};
