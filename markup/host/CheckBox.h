// Markup element "CheckBox": the system's check-box glyph beside the content;
// with "IsThreeState" a click also reaches the indeterminate state.
#pragma once

#include "markup/host/ToggleButton.h"

class CXTPMarkupCheckBox : public CXTPMarkupToggleButton
{
    DECLARE_MARKUPCLASS(CXTPMarkupCheckBox)
public:
    CXTPMarkupCheckBox();

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    void DrawFocusCue(CXTPMarkupPainter* pPainter) override;
};
