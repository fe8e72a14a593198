#include "markup/host/CheckBox.h"

#include "markup/host/GdiPainter.h"

#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"CheckBox", CXTPMarkupCheckBox, CXTPMarkupToggleButton)

namespace
{
constexpr int kPartCheckBox = 3; // BP_CHECKBOX
// The styled states run unchecked, checked, mixed, four each.
constexpr int kCheckedStates = 4;
constexpr int kMixedStates = 8;
} // namespace

CXTPMarkupCheckBox::CXTPMarkupCheckBox() {}

SIZE CXTPMarkupCheckBox::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    // Without content the box asks for no height: its glyph is centred on
    // whatever height the parent gives it.
    return MeasureBesideGlyph(pPainter, cxConstraint, cyConstraint, 0);
}

SIZE CXTPMarkupCheckBox::ArrangeContent(int cx, int cy)
{
    ArrangeBesideGlyph(cx, cy);
    return {cx, cy};
}

void CXTPMarkupCheckBox::DrawContent(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    const RECT rcGlyph = GetGlyphRect();
    const int nChecked = GetChecked();
    if (GetTheme().IsOpen())
    {
        int nState = GetGlyphBaseState();
        if (nChecked == xtpMarkupCheckStateTrue)
            nState += kCheckedStates;
        else if (nChecked != xtpMarkupCheckStateFalse)
            nState += kMixedStates;
        if (pPainter->DrawThemeBackground(GetTheme(), kPartCheckBox, nState, rcGlyph))
            return;
    }
    UINT nFlags = DFCS_BUTTONCHECK;
    if (nChecked == xtpMarkupCheckStateTrue)
        nFlags |= DFCS_CHECKED;
    else if (nChecked != xtpMarkupCheckStateFalse)
        nFlags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (IsPressed())
        nFlags |= DFCS_PUSHED;
    pPainter->DrawFrameControl(rcGlyph, DFC_BUTTON, nFlags);
}

void CXTPMarkupCheckBox::DrawFocusCue(CXTPMarkupPainter* pPainter)
{
    DrawGlyphFocusCue(pPainter);
}
