// Markup element "Button": a push button around its content, drawn with the
// system's button style, or with classic edges when there is no style or the
// button has a "Background" of its own.
#pragma once

#include "markup/host/ButtonBase.h"

class CXTPMarkupButton : public CXTPMarkupButtonBase
{
    DECLARE_MARKUPCLASS(CXTPMarkupButton)
public:
    CXTPMarkupButton();

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    void DrawFocusCue(CXTPMarkupPainter* pPainter) override;
};
