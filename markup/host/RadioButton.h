// Markup element "RadioButton": the system's radio glyph beside the content.
// A click only ever checks it; checking it clears the other radio buttons of
// the same parent.
#pragma once

#include "markup/host/ToggleButton.h"

class CXTPMarkupRadioButton : public CXTPMarkupToggleButton
{
    DECLARE_MARKUPCLASS(CXTPMarkupRadioButton)
public:
    CXTPMarkupRadioButton();

protected:
    void OnToggle() override;
    void OnChecked() override;

    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    void DrawFocusCue(CXTPMarkupPainter* pPainter) override;
};
