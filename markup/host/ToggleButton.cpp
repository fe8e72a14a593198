#include "markup/host/ToggleButton.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/host/GdiPainter.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/TextScanner.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <algorithm>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupToggleButton, CXTPMarkupButtonBase)

CXTPMarkupDependencyProperty* CXTPMarkupToggleButton::m_pIsCheckedProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupToggleButton::m_pIsThreeStateProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupToggleButton::m_pCheckedEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupToggleButton::m_pUncheckedEvent = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupToggleButton::m_pIndeterminateEvent = nullptr;

void CXTPMarkupToggleButton::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupToggleButton);
    m_pIsCheckedProperty = Property::Register(
        L"IsChecked", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new Options(CXTPMarkupEnum::CreateValue(xtpMarkupCheckStateFalse), &CXTPMarkupToggleButton::ConvertIsChecked,
                    &CXTPMarkupToggleButton::OnIsCheckedChanged, Options::AffectsRender));
    m_pIsThreeStateProperty =
        Property::Register(L"IsThreeState", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                           new Options(CXTPMarkupBool::CreateFalseValue(), Options::AffectsRender));
    m_pCheckedEvent = Property::RegisterEvent(L"Checked", RoutingBubble, pOwner);
    m_pUncheckedEvent = Property::RegisterEvent(L"Unchecked", RoutingBubble, pOwner);
    m_pIndeterminateEvent = Property::RegisterEvent(L"Indeterminate", RoutingBubble, pOwner);
}

CXTPMarkupToggleButton::CXTPMarkupToggleButton() {}

CXTPMarkupObject* CXTPMarkupToggleButton::ConvertIsChecked(CXTPMarkupElementContext* /*pHost*/,
                                                           CXTPMarkupObject* pValue)
{
    const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    if (pString->GetLength() == 0)
        return CXTPMarkupEnum::CreateValue(xtpMarkupCheckStateIndeterminate);
    if (CXTPMarkupTextScanner::EqualsNoCase(pString->GetText(), pString->GetLength(), "True"))
        return CXTPMarkupEnum::CreateValue(xtpMarkupCheckStateTrue);
    if (CXTPMarkupTextScanner::EqualsNoCase(pString->GetText(), pString->GetLength(), "False"))
        return CXTPMarkupEnum::CreateValue(xtpMarkupCheckStateFalse);
    return nullptr;
}

namespace
{
int CheckStateOf(const CXTPMarkupObject* pValue)
{
    const CXTPMarkupEnum* pState = MarkupCast<CXTPMarkupEnum>(pValue);
    return pState ? static_cast<int>(*pState) : xtpMarkupCheckStateFalse;
}
} // namespace

int CXTPMarkupToggleButton::GetChecked() const
{
    return CheckStateOf(GetValue(m_pIsCheckedProperty));
}

void CXTPMarkupToggleButton::SetChecked(int nState)
{
    SetValue(m_pIsCheckedProperty, CXTPMarkupEnum::CreateValue(nState));
}

BOOL CXTPMarkupToggleButton::IsThreeState() const
{
    const CXTPMarkupBool* pValue = MarkupCast<CXTPMarkupBool>(GetValue(m_pIsThreeStateProperty));
    return pValue && *pValue;
}

void CXTPMarkupToggleButton::OnIsCheckedChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs)
{
    CXTPMarkupToggleButton* pButton = MarkupCast<CXTPMarkupToggleButton>(pObject);
    const int nState = CheckStateOf(pArgs->m_pNewValue);
    // Every write counts, the same state too: a click on a checked radio
    // button clears its group again (markup may have checked two of them).
    if (!pButton)
        return;
    if (nState == xtpMarkupCheckStateTrue)
        pButton->OnChecked();
    else if (nState != xtpMarkupCheckStateFalse)
        pButton->OnIndeterminate();
    else
        pButton->OnUnchecked();
}

void CXTPMarkupToggleButton::OnClick()
{
    // Handlers of the toggle events and of "Click" may drop the button.
    CXTPMarkupPtr<CXTPMarkupToggleButton> self = CXTPMarkupPtr<CXTPMarkupToggleButton>::AddRefOf(this);
    OnToggle();
    CXTPMarkupButtonBase::OnClick();
}

void CXTPMarkupToggleButton::OnToggle()
{
    switch (GetChecked())
    {
    case xtpMarkupCheckStateTrue:
        SetChecked(IsThreeState() ? xtpMarkupCheckStateIndeterminate : xtpMarkupCheckStateFalse);
        break;
    case xtpMarkupCheckStateFalse: SetChecked(xtpMarkupCheckStateTrue); break;
    default: SetChecked(xtpMarkupCheckStateFalse); break;
    }
}

void CXTPMarkupToggleButton::RaiseToggleEvent(CXTPMarkupDependencyProperty* pEvent)
{
    CXTPMarkupEventArgs args(pEvent, this);
    if (CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this))
        args.m_hWnd = pHost->GetHwnd();
    RaiseEvent(&args);
}

void CXTPMarkupToggleButton::OnChecked()
{
    RaiseToggleEvent(m_pCheckedEvent);
}

void CXTPMarkupToggleButton::OnUnchecked()
{
    RaiseToggleEvent(m_pUncheckedEvent);
}

void CXTPMarkupToggleButton::OnIndeterminate()
{
    RaiseToggleEvent(m_pIndeterminateEvent);
}

SIZE CXTPMarkupToggleButton::MeasureBesideGlyph(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint,
                                                int cyMinEmpty)
{
    OpenTheme();
    const CXTPMarkupThickness* pPadding = GetPadding();
    const int cxExtra = Add(Add(pPadding->GetLeft(), pPadding->GetRight()), kGlyphSpace);
    const int cyExtra = Add(pPadding->GetTop(), pPadding->GetBottom());
    CXTPMarkupUIElement* pContent = GetContent();
    if (!pContent)
        return {cxExtra, std::max(cyMinEmpty, cyExtra)};
    pContent->Measure(pPainter, std::max(0, Subtract(cxConstraint, cxExtra)),
                      std::max(0, Subtract(cyConstraint, cyExtra)));
    const SIZE szContent = pContent->GetMeasuredSize();
    return {Add(szContent.cx, cxExtra), std::max<int>(kGlyphSize, Add(szContent.cy, cyExtra))};
}

void CXTPMarkupToggleButton::ArrangeBesideGlyph(int cx, int cy)
{
    CXTPMarkupUIElement* pContent = GetContent();
    if (!pContent)
        return;
    RECT rc = CXTPMarkupThickness::DeflateRect(RECT{0, 0, cx, cy}, GetPadding());
    rc.left = std::min(Add(rc.left, kGlyphSpace), static_cast<int>(rc.right));
    pContent->Arrange(rc);
}

RECT CXTPMarkupToggleButton::GetGlyphRect() const
{
    const int cyHalf = m_szArranged.cy / 2;
    return RECT{0, cyHalf - 6, kGlyphSize, cyHalf + 7};
}

int CXTPMarkupToggleButton::GetGlyphBaseState() const
{
    return IsPressed() ? 3 : IsMouseOver() ? 2 : 1;
}

void CXTPMarkupToggleButton::DrawGlyphFocusCue(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    const RECT rc = {kGlyphSpace - 1, 0, m_szArranged.cx, m_szArranged.cy};
    if (GetContent() && rc.right > rc.left && rc.bottom > rc.top)
        pPainter->DrawFocusRect(rc);
}
