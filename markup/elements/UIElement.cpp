#include "markup/elements/UIElement.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/elements/ElementContext.h"
#include "markup/elements/Painter.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <initializer_list>
#include <memory>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupUIElement, CXTPMarkupVisual)

namespace
{
// The same size elsewhere, with every edge far from the saturating extents,
// where an arrangement's offset is the rectangle's corner plus what the size
// decides.
BOOL IsMoveOnly(const RECT& rcFrom, const RECT& rcTo)
{
    if (EqualRect(&rcFrom, &rcTo))
        return FALSE;
    for (const RECT* pRect : {&rcFrom, &rcTo})
    {
        for (LONG n : {pRect->left, pRect->top, pRect->right, pRect->bottom})
        {
            if (n > XTPMarkupLayout::kUnboundedThreshold || n < -XTPMarkupLayout::kUnboundedThreshold)
                return FALSE;
        }
    }
    return rcTo.right - rcTo.left == rcFrom.right - rcFrom.left && rcTo.bottom - rcTo.top == rcFrom.bottom - rcFrom.top;
}

// Measuring needs a device only the host has: the context makes the painter,
// or without one the factory the host registered.
std::unique_ptr<CXTPMarkupPainter> CreateMeasuringPainter(const CXTPMarkupElementContext* pContext)
{
    return std::unique_ptr<CXTPMarkupPainter>(pContext ? pContext->CreateMeasuringPainter()
                                                       : XTPMarkupCreateMeasuringPainter());
}
} // namespace

CXTPMarkupDependencyProperty* CXTPMarkupUIElement::m_pClipToBoundsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupUIElement::m_pVisibilityProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupUIElement::m_pFocusableProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupUIElement::m_pIsEnabledProperty = nullptr;

void CXTPMarkupUIElement::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupUIElement);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;

    m_pClipToBoundsProperty = Property::Register(L"ClipToBounds", MARKUP_TYPE(CXTPMarkupBool), pOwner);
    m_pVisibilityProperty =
        Property::Register(L"Visibility", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                           new Options(nullptr, &CXTPMarkupConverter::ConvertVisibility, Options::AffectsMeasure));
    m_pFocusableProperty = Property::Register(L"Focusable", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                                              new Options(CXTPMarkupBool::CreateFalseValue()));
    m_pIsEnabledProperty = Property::Register(L"IsEnabled", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                                              new Options(CXTPMarkupBool::CreateTrueValue()));
}

CXTPMarkupUIElement::CXTPMarkupUIElement()
    : m_szMeasured{0, 0}, m_rcLayout{0, 0, 0, 0}, m_szPreviousAvailable{0, 0}, m_bMeasureDirty(FALSE),
      m_bNeverMeasured(TRUE), m_bArrangeDirty(FALSE), m_bNeverArranged(TRUE), m_bInArrange(FALSE), m_bInMeasure(FALSE)
{
}

int CXTPMarkupUIElement::GetVisibility() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pVisibilityProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupVisibilityVisible;
}

BOOL CXTPMarkupUIElement::GetClipToBounds() const
{
    const CXTPMarkupBool* pValue = MarkupCast<CXTPMarkupBool>(GetValue(m_pClipToBoundsProperty));
    return pValue && *pValue;
}

void CXTPMarkupUIElement::Measure(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable)
{
    if (GetVisibility() == xtpMarkupVisibilityCollapsed)
    {
        // Kept dirty, so that it is measured afresh once it shows again.
        m_szPreviousAvailable = {cxAvailable, cyAvailable};
        m_bMeasureDirty = TRUE;
        m_szMeasured = {0, 0};
        m_bNeverMeasured = FALSE;
        return;
    }

    const BOOL bTransient = pPainter->IsTransient();
    if (!m_bMeasureDirty && !m_bNeverMeasured && !bTransient && cxAvailable == m_szPreviousAvailable.cx
        && cyAvailable == m_szPreviousAvailable.cy)
        return;

    m_bArrangeDirty = TRUE;
    m_bInMeasure = TRUE;
    m_bNeverMeasured = FALSE;
    m_szMeasured = MeasureElement(pPainter, cxAvailable, cyAvailable);
    m_szPreviousAvailable = {cxAvailable, cyAvailable};
    m_bInMeasure = FALSE;
    m_bMeasureDirty = bTransient;
}

void CXTPMarkupUIElement::Arrange(const RECT& rcFinal)
{
    if (GetVisibility() == xtpMarkupVisibilityCollapsed)
    {
        m_bArrangeDirty = FALSE;
        m_bNeverArranged = FALSE;
        m_rcLayout = rcFinal;
        return;
    }

    if (m_bNeverMeasured)
    {
        if (std::unique_ptr<CXTPMarkupPainter> pPainter = CreateMeasuringPainter(GetMarkupContext()))
            Measure(pPainter.get(), XTPMarkupLayout::Width(rcFinal), XTPMarkupLayout::Height(rcFinal));
    }

    if (!m_bArrangeDirty && !m_bNeverArranged && IsMoveOnly(m_rcLayout, rcFinal)
        && MoveArrangement(rcFinal.left - m_rcLayout.left, rcFinal.top - m_rcLayout.top))
    {
        m_rcLayout = rcFinal;
        return;
    }
    if (m_bArrangeDirty || m_bNeverArranged || !EqualRect(&rcFinal, &m_rcLayout))
    {
        m_bNeverArranged = FALSE;
        m_bInArrange = TRUE;
        ArrangeElement(rcFinal);
        m_bInArrange = FALSE;
        UpdateBounds();
    }
    m_bArrangeDirty = FALSE;
    m_rcLayout = rcFinal;
}

BOOL CXTPMarkupUIElement::MoveArrangement(int /*dx*/, int /*dy*/)
{
    return FALSE;
}

SIZE CXTPMarkupUIElement::MeasureElement(CXTPMarkupPainter* /*pPainter*/, int /*cxAvailable*/, int /*cyAvailable*/)
{
    return {0, 0};
}

void CXTPMarkupUIElement::ArrangeElement(const RECT& rcFinal)
{
    m_szArranged = {XTPMarkupLayout::Width(rcFinal), XTPMarkupLayout::Height(rcFinal)};
}

BOOL CXTPMarkupUIElement::GetClipRect(RECT& rcClip) const
{
    if (GetVisibility() == xtpMarkupVisibilityVisible)
        return FALSE;
    SetRectEmpty(&rcClip);
    return TRUE;
}

void CXTPMarkupUIElement::RearrangeInPlace()
{
    InvalidateVisual();
    m_bArrangeDirty = TRUE;
    Arrange(m_rcLayout);
    InvalidateVisual();
}

void CXTPMarkupUIElement::InvalidateArrange()
{
    if (m_bInArrange || m_bNeverArranged)
        return;
    RearrangeInPlace();
}

void CXTPMarkupUIElement::InvalidateVisual()
{
    if (CXTPMarkupElementContext* pContext = GetMarkupContext())
        pContext->InvalidateElement(this);
}

void CXTPMarkupUIElement::InvalidateMeasure()
{
    // Answered before a memory DC is made for nothing: while markup loads,
    // every property set on a new element comes here.
    if (m_bInMeasure || m_bNeverMeasured)
        return;
    if (std::unique_ptr<CXTPMarkupPainter> pPainter = CreateMeasuringPainter(GetMarkupContext()))
        InvalidateMeasureWith(pPainter.get());
}

void CXTPMarkupUIElement::InvalidateMeasureWith(CXTPMarkupPainter* pPainter)
{
    if (m_bInMeasure || m_bNeverMeasured)
        return;

    // Parents and hosts may be told below; nobody they tell may drop the last
    // reference while this element is still at work.
    CXTPMarkupPtr<CXTPMarkupUIElement> self = CXTPMarkupPtr<CXTPMarkupUIElement>::AddRefOf(this);
    const SIZE szOld = m_szMeasured;
    m_bMeasureDirty = TRUE;
    m_bArrangeDirty = TRUE;
    Measure(pPainter, m_szPreviousAvailable.cx, m_szPreviousAvailable.cy);
    if (m_szMeasured.cx == szOld.cx && m_szMeasured.cy == szOld.cy)
    {
        RearrangeInPlace();
        return;
    }

    // The parent's next pass must measure this element again even for the
    // same available size.
    m_bMeasureDirty = TRUE;
    m_bArrangeDirty = TRUE;
    if (CXTPMarkupUIElement* pParent = MarkupCast<CXTPMarkupUIElement>(GetParentVisual()))
        pParent->InvalidateMeasureWith(pPainter);
    else if (CXTPMarkupElementContext* pContext = GetMarkupContext())
        pContext->InvalidateAll();
}
