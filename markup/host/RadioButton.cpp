#include "markup/host/RadioButton.h"

#include "markup/host/GdiPainter.h"

#include "markup/model/Type.h"

#include <vector>

IMPLEMENT_MARKUPCLASS(L"RadioButton", CXTPMarkupRadioButton, CXTPMarkupToggleButton)

namespace
{
constexpr int kPartRadioButton = 2; // BP_RADIOBUTTON
constexpr int kCheckedStates = 4;   // the checked looks follow the four unchecked ones
} // namespace

CXTPMarkupRadioButton::CXTPMarkupRadioButton() {}

void CXTPMarkupRadioButton::OnToggle()
{
    SetChecked(xtpMarkupCheckStateTrue);
}

void CXTPMarkupRadioButton::OnChecked()
{
    // The group is the parent's radio buttons. Their "Unchecked" handlers
    // may change the parent's children, so the group is taken first.
    if (CXTPMarkupVisual* pParent = GetParentVisual())
    {
        std::vector<CXTPMarkupPtr<CXTPMarkupRadioButton>> others;
        for (int i = 0; i < pParent->GetChildCount(); ++i)
        {
            CXTPMarkupRadioButton* pOther = MarkupCast<CXTPMarkupRadioButton>(pParent->GetChild(i));
            if (pOther && pOther != this && pOther->GetChecked() != xtpMarkupCheckStateFalse)
                others.push_back(CXTPMarkupPtr<CXTPMarkupRadioButton>::AddRefOf(pOther));
        }
        for (const CXTPMarkupPtr<CXTPMarkupRadioButton>& other : others)
            other->SetChecked(xtpMarkupCheckStateFalse);
    }
    CXTPMarkupToggleButton::OnChecked();
}

SIZE CXTPMarkupRadioButton::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    return MeasureBesideGlyph(pPainter, cxConstraint, cyConstraint, kGlyphSize);
}

SIZE CXTPMarkupRadioButton::ArrangeContent(int cx, int cy)
{
    ArrangeBesideGlyph(cx, cy);
    return {cx, cy};
}

void CXTPMarkupRadioButton::DrawContent(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    const RECT rcGlyph = GetGlyphRect();
    const BOOL bChecked = GetChecked() != xtpMarkupCheckStateFalse;
    if (GetTheme().IsOpen()
        && pPainter->DrawThemeBackground(GetTheme(), kPartRadioButton,
                                         GetGlyphBaseState() + (bChecked ? kCheckedStates : 0), rcGlyph))
        return;
    UINT nFlags = DFCS_BUTTONRADIO;
    if (bChecked)
        nFlags |= DFCS_CHECKED;
    if (IsPressed())
        nFlags |= DFCS_PUSHED;
    pPainter->DrawFrameControl(rcGlyph, DFC_BUTTON, nFlags);
}

void CXTPMarkupRadioButton::DrawFocusCue(CXTPMarkupPainter* pPainter)
{
    DrawGlyphFocusCue(pPainter);
}
