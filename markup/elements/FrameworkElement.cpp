#include "markup/elements/FrameworkElement.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <cassert>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"FrameworkElement", CXTPMarkupFrameworkElement, CXTPMarkupUIElement)

CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pMarginProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pHorizontalAlignmentProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pVerticalAlignmentProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pHeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pMinWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pMinHeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pMaxWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pMaxHeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupFrameworkElement::m_pTagProperty = nullptr;

void CXTPMarkupFrameworkElement::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupFrameworkElement);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;
    const PFNCONVERTPROPERTYVALUE pfnLength = &CXTPMarkupConverter::ConvertLength;

    m_pMarginProperty =
        Property::Register(L"Margin", MARKUP_TYPE(CXTPMarkupThickness), pOwner,
                           new Options(CXTPMarkupThickness::CreateZeroValue(), Options::AffectsMeasure));
    m_pHorizontalAlignmentProperty = Property::Register(
        L"HorizontalAlignment", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new Options(nullptr, &CXTPMarkupConverter::ConvertHorizontalAlignment, Options::AffectsArrange));
    m_pVerticalAlignmentProperty = Property::Register(
        L"VerticalAlignment", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new Options(nullptr, &CXTPMarkupConverter::ConvertVerticalAlignment, Options::AffectsArrange));
    m_pWidthProperty = Property::Register(L"Width", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                          new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pHeightProperty = Property::Register(L"Height", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                           new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pMinWidthProperty = Property::Register(L"MinWidth", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                             new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pMinHeightProperty = Property::Register(L"MinHeight", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                              new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pMaxWidthProperty = Property::Register(L"MaxWidth", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                             new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pMaxHeightProperty = Property::Register(L"MaxHeight", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                              new Options(nullptr, pfnLength, Options::AffectsMeasure));
    m_pTagProperty = Property::Register(L"Tag", MARKUP_TYPE(CXTPMarkupObject), pOwner);
}

CXTPMarkupFrameworkElement::CXTPMarkupFrameworkElement()
    : m_bClipNeeded(FALSE), m_szUnclippedContent{0, 0}, m_bHasUnclippedContentSize(FALSE), m_nMaxHeight(kUnbounded),
      m_nMinHeight(0), m_nMaxWidth(kUnbounded), m_nMinWidth(0)
{
}

const CXTPMarkupThickness* CXTPMarkupFrameworkElement::GetMargin() const
{
    const CXTPMarkupThickness* pMargin = MarkupCast<CXTPMarkupThickness>(GetValue(m_pMarginProperty));
    assert(pMargin && "the margin's default is the shared zero thickness");
    return pMargin;
}

int CXTPMarkupFrameworkElement::GetHorizontalAlignment() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pHorizontalAlignmentProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupHorizontalAlignmentStretch;
}

int CXTPMarkupFrameworkElement::GetVerticalAlignment() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pVerticalAlignmentProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupVerticalAlignmentStretch;
}

int CXTPMarkupFrameworkElement::GetLength(const CXTPMarkupDependencyProperty* pProperty, int nUnset) const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(pProperty));
    return pValue ? static_cast<int>(*pValue) : nUnset;
}

void CXTPMarkupFrameworkElement::UpdateSizeLimits()
{
    // An explicit size wins over the maximum, and the minimum wins over both.
    const int nMinHeight = GetLength(m_pMinHeightProperty, 0);
    const int nHeight = GetLength(m_pHeightProperty, kUnbounded);
    m_nMaxHeight = std::max(nMinHeight, std::min(nHeight, GetLength(m_pMaxHeightProperty, kUnbounded)));
    m_nMinHeight = std::max(nMinHeight, std::min(m_nMaxHeight, GetLength(m_pHeightProperty, 0)));

    const int nMinWidth = GetLength(m_pMinWidthProperty, 0);
    const int nWidth = GetLength(m_pWidthProperty, kUnbounded);
    m_nMaxWidth = std::max(nMinWidth, std::min(nWidth, GetLength(m_pMaxWidthProperty, kUnbounded)));
    m_nMinWidth = std::max(nMinWidth, std::min(m_nMaxWidth, GetLength(m_pWidthProperty, 0)));
}

namespace
{
// The space inside the margins: an unbounded (or nearly unbounded) extent
// stays unbounded whatever the margins.
int InnerExtent(int nAvailable, int nMargins)
{
    if (nAvailable > kUnboundedThreshold || -static_cast<long long>(nMargins) > kUnboundedThreshold)
        return kUnbounded;
    return std::max(0, Subtract(nAvailable, nMargins));
}
} // namespace

SIZE CXTPMarkupFrameworkElement::MeasureElement(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable)
{
    const CXTPMarkupThickness* pMargin = GetMargin();
    const int cxMargins = Add(pMargin->GetLeft(), pMargin->GetRight());
    const int cyMargins = Add(pMargin->GetTop(), pMargin->GetBottom());
    const int cxInner = InnerExtent(cxAvailable, cxMargins);
    const int cyInner = InnerExtent(cyAvailable, cyMargins);

    UpdateSizeLimits();
    const int cxConstraint = std::max(m_nMinWidth, std::min(cxInner, m_nMaxWidth));
    const int cyConstraint = std::max(m_nMinHeight, std::min(cyInner, m_nMaxHeight));
    const SIZE szContent = MeasureContent(pPainter, cxConstraint, cyConstraint);

    const int cxUnclipped = std::max<int>(szContent.cx, m_nMinWidth);
    const int cyUnclipped = std::max<int>(szContent.cy, m_nMinHeight);
    BOOL bCut = FALSE;
    int cxMeasured = cxUnclipped;
    if (cxUnclipped > m_nMaxWidth)
    {
        cxMeasured = m_nMaxWidth;
        bCut = TRUE;
    }
    int cyMeasured = cyUnclipped;
    if (cyUnclipped > m_nMaxHeight)
    {
        cyMeasured = m_nMaxHeight;
        bCut = TRUE;
    }

    cxMeasured = Add(cxMeasured, cxMargins);
    cyMeasured = Add(cyMeasured, cyMargins);
    if (cxMeasured > cxAvailable)
    {
        cxMeasured = cxAvailable;
        bCut = TRUE;
    }
    if (cyMeasured > cyAvailable)
    {
        cyMeasured = cyAvailable;
        bCut = TRUE;
    }

    // The arrangement then works with the content's own size, not the cut one.
    m_bClipNeeded = FALSE;
    m_bHasUnclippedContentSize = FALSE;
    if (bCut || cxMeasured < 0 || cyMeasured < 0)
    {
        m_szUnclippedContent = {cxUnclipped, cyUnclipped};
        m_bClipNeeded = TRUE;
        m_bHasUnclippedContentSize = TRUE;
    }
    return {std::max(cxMeasured, 0), std::max(cyMeasured, 0)};
}

BOOL CXTPMarkupFrameworkElement::MoveArrangement(int dx, int dy)
{
    m_ptOffset.x = XTPMarkupLayout::Add(m_ptOffset.x, dx);
    m_ptOffset.y = XTPMarkupLayout::Add(m_ptOffset.y, dy);
    return TRUE;
}

void CXTPMarkupFrameworkElement::ArrangeElement(const RECT& rcFinal)
{
    const CXTPMarkupThickness* pMargin = GetMargin();
    const int cxMargins = Add(pMargin->GetLeft(), pMargin->GetRight());
    const int cyMargins = Add(pMargin->GetTop(), pMargin->GetBottom());
    const int cxSlot = std::max(0, Subtract(Width(rcFinal), cxMargins));
    const int cySlot = std::max(0, Subtract(Height(rcFinal), cyMargins));

    const SIZE szMeasured = GetMeasuredSize();
    const int cxDesired = m_bHasUnclippedContentSize ? m_szUnclippedContent.cx : Subtract(szMeasured.cx, cxMargins);
    const int cyDesired = m_bHasUnclippedContentSize ? m_szUnclippedContent.cy : Subtract(szMeasured.cy, cyMargins);

    int cxArrange = cxSlot;
    int cyArrange = cySlot;
    if (cxArrange < cxDesired)
    {
        cxArrange = cxDesired;
        m_bClipNeeded = TRUE;
    }
    if (cyArrange < cyDesired)
    {
        cyArrange = cyDesired;
        m_bClipNeeded = TRUE;
    }
    if (GetHorizontalAlignment() != xtpMarkupHorizontalAlignmentStretch)
        cxArrange = cxDesired;
    if (GetVerticalAlignment() != xtpMarkupVerticalAlignmentStretch)
        cyArrange = cyDesired;
    if (cxArrange > std::max(cxDesired, m_nMaxWidth))
    {
        cxArrange = std::max(cxDesired, m_nMaxWidth);
        m_bClipNeeded = TRUE;
    }
    if (cyArrange > std::max(cyDesired, m_nMaxHeight))
    {
        cyArrange = std::max(cyDesired, m_nMaxHeight);
        m_bClipNeeded = TRUE;
    }

    const SIZE szArranged = ArrangeContent(cxArrange, cyArrange);
    m_szArranged = szArranged;

    const int cxVisible = std::min<int>(szArranged.cx, m_nMaxWidth);
    const int cyVisible = std::min<int>(szArranged.cy, m_nMaxHeight);
    if (cxVisible < szArranged.cx || cyVisible < szArranged.cy)
        m_bClipNeeded = TRUE;
    if (cxSlot < cxVisible || cySlot < cyVisible)
        m_bClipNeeded = TRUE;

    const POINT ptAlign = AlignmentOffset(cxSlot, cySlot, cxVisible, cyVisible);
    m_ptOffset.x = Add(Add(rcFinal.left, pMargin->GetLeft()), ptAlign.x);
    m_ptOffset.y = Add(Add(rcFinal.top, pMargin->GetTop()), ptAlign.y);
}

POINT CXTPMarkupFrameworkElement::AlignmentOffset(int cxSlot, int cySlot, int cx, int cy) const
{
    int nHorizontal = GetHorizontalAlignment();
    if (nHorizontal == xtpMarkupHorizontalAlignmentStretch && cx > cxSlot)
        nHorizontal = xtpMarkupHorizontalAlignmentLeft;
    int nVertical = GetVerticalAlignment();
    if (nVertical == xtpMarkupVerticalAlignmentStretch && cy > cySlot)
        nVertical = xtpMarkupVerticalAlignmentTop;

    // The division truncates toward zero: content 5 wide centred in a slot
    // 2 wide starts at -1.
    const long long nSpareX = static_cast<long long>(cxSlot) - cx;
    const long long nSpareY = static_cast<long long>(cySlot) - cy;
    POINT pt = {0, 0};
    if (nHorizontal == xtpMarkupHorizontalAlignmentCenter || nHorizontal == xtpMarkupHorizontalAlignmentStretch)
        pt.x = Clamp(nSpareX / 2);
    else if (nHorizontal == xtpMarkupHorizontalAlignmentRight)
        pt.x = Clamp(nSpareX);
    if (nVertical == xtpMarkupVerticalAlignmentCenter || nVertical == xtpMarkupVerticalAlignmentStretch)
        pt.y = Clamp(nSpareY / 2);
    else if (nVertical == xtpMarkupVerticalAlignmentBottom)
        pt.y = Clamp(nSpareY);
    return pt;
}

BOOL CXTPMarkupFrameworkElement::GetClipRect(RECT& rcClip) const
{
    if (CXTPMarkupUIElement::GetClipRect(rcClip))
        return TRUE;
    const BOOL bClipToBounds = GetClipToBounds();
    if (!bClipToBounds && !m_bClipNeeded)
        return FALSE;

    // The limit box: what the maximum sizes let the element show.
    const int cxLimit = m_nMaxWidth != kUnbounded ? m_nMaxWidth : m_szArranged.cx;
    const int cyLimit = m_nMaxHeight != kUnbounded ? m_nMaxHeight : m_szArranged.cy;
    const BOOL bUseLimits = bClipToBounds || cxLimit < m_szArranged.cx || cyLimit < m_szArranged.cy;

    // The slot: what the parent gave, without the margins.
    const CXTPMarkupThickness* pMargin = GetMargin();
    const RECT& rcLayout = GetLayoutRect();
    const int cxVisible = std::min<int>(m_szArranged.cx, m_nMaxWidth);
    const int cyVisible = std::min<int>(m_szArranged.cy, m_nMaxHeight);
    const int cxSlot = std::max(0, Subtract(Width(rcLayout), Add(pMargin->GetLeft(), pMargin->GetRight())));
    const int cySlot = std::max(0, Subtract(Height(rcLayout), Add(pMargin->GetTop(), pMargin->GetBottom())));
    const BOOL bUseSlot = bClipToBounds || cxSlot < cxVisible || cySlot < cyVisible;

    if (!bUseLimits && !bUseSlot)
        return FALSE;
    const RECT rcLimits = {0, 0, cxLimit, cyLimit};
    if (!bUseSlot)
    {
        rcClip = rcLimits;
        return TRUE;
    }

    // The slot as seen from the element's origin.
    const POINT ptAlign = AlignmentOffset(cxSlot, cySlot, cxVisible, cyVisible);
    rcClip = {-ptAlign.x, -ptAlign.y, Subtract(cxSlot, ptAlign.x), Subtract(cySlot, ptAlign.y)};
    if (bUseLimits)
        IntersectRect(&rcClip, &rcClip, &rcLimits);
    return TRUE;
}

SIZE CXTPMarkupFrameworkElement::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/,
                                                int /*cyConstraint*/)
{
    return {0, 0};
}

SIZE CXTPMarkupFrameworkElement::ArrangeContent(int cx, int cy)
{
    return {cx, cy};
}

void CXTPMarkupFrameworkElement::OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                                   CXTPMarkupObject* pNewValue)
{
    // Callbacks, triggers and the host may all drop references to this
    // element on the way.
    CXTPMarkupPtr<CXTPMarkupFrameworkElement> self = CXTPMarkupPtr<CXTPMarkupFrameworkElement>::AddRefOf(this);
    CXTPMarkupUIElement::OnPropertyChanged(pProperty, pOldValue, pNewValue);
    UpdateTriggers(pProperty, pNewValue);

    const DWORD nFlags = pProperty->GetFlags();
    if (nFlags & CXTPMarkupPropertyOptions::AffectsMeasure)
        InvalidateMeasure();
    if (nFlags & CXTPMarkupPropertyOptions::AffectsArrange)
        InvalidateArrange();
    if (nFlags & CXTPMarkupPropertyOptions::AffectsRender)
        InvalidateVisual();
}
