#include "markup/elements/Border.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/elements/Painter.h"

#include "markup/model/Brush.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <algorithm>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"Border", CXTPMarkupBorder, CXTPMarkupSingleChildElement)

CXTPMarkupDependencyProperty* CXTPMarkupBorder::m_pBackgroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupBorder::m_pPaddingProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupBorder::m_pBorderThicknessProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupBorder::m_pBorderBrushProperty = nullptr;

void CXTPMarkupBorder::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupBorder);
    m_pBackgroundProperty = Property::Register(L"Background", MARKUP_TYPE(CXTPMarkupBrush), pOwner,
                                               new Options(nullptr, Options::AffectsRender));
    m_pPaddingProperty =
        Property::Register(L"Padding", MARKUP_TYPE(CXTPMarkupThickness), pOwner,
                           new Options(CXTPMarkupThickness::CreateZeroValue(), Options::AffectsMeasure));
    m_pBorderThicknessProperty =
        Property::Register(L"BorderThickness", MARKUP_TYPE(CXTPMarkupThickness), pOwner,
                           new Options(CXTPMarkupThickness::CreateZeroValue(), Options::AffectsMeasure));
    m_pBorderBrushProperty = Property::Register(L"BorderBrush", MARKUP_TYPE(CXTPMarkupBrush), pOwner,
                                                new Options(nullptr, Options::AffectsRender));
}

CXTPMarkupBorder::CXTPMarkupBorder() {}

CXTPMarkupBrush* CXTPMarkupBorder::GetBackground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBackgroundProperty));
}

CXTPMarkupBrush* CXTPMarkupBorder::GetBorderBrush() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBorderBrushProperty));
}

namespace
{
const CXTPMarkupThickness* ThicknessOf(const CXTPMarkupObject* pValue)
{
    static const CXTPMarkupThickness* const s_pZero = CXTPMarkupThickness::CreateZeroValue();
    const CXTPMarkupThickness* pThickness = MarkupCast<CXTPMarkupThickness>(pValue);
    return pThickness ? pThickness : s_pZero;
}

// Saturating: thicknesses are whatever markup wrote.
int HorizontalSum(const CXTPMarkupThickness* pThickness)
{
    return Clamp(static_cast<long long>(pThickness->GetLeft()) + pThickness->GetRight());
}

int VerticalSum(const CXTPMarkupThickness* pThickness)
{
    return Clamp(static_cast<long long>(pThickness->GetTop()) + pThickness->GetBottom());
}
} // namespace

const CXTPMarkupThickness* CXTPMarkupBorder::GetPadding() const
{
    return ThicknessOf(GetValue(m_pPaddingProperty));
}

const CXTPMarkupThickness* CXTPMarkupBorder::GetBorderThickness() const
{
    return ThicknessOf(GetValue(m_pBorderThicknessProperty));
}

SIZE CXTPMarkupBorder::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    const CXTPMarkupThickness* pBorder = GetBorderThickness();
    const CXTPMarkupThickness* pPadding = GetPadding();
    const int cxEdges = Add(HorizontalSum(pBorder), HorizontalSum(pPadding));
    const int cyEdges = Add(VerticalSum(pBorder), VerticalSum(pPadding));

    CXTPMarkupUIElement* pChild = GetChild();
    if (!pChild)
        return {cxEdges, cyEdges};
    pChild->Measure(pPainter, std::max(0, Subtract(cxConstraint, cxEdges)),
                    std::max(0, Subtract(cyConstraint, cyEdges)));
    const SIZE szChild = pChild->GetMeasuredSize();
    return {Add(cxEdges, szChild.cx), Add(cyEdges, szChild.cy)};
}

SIZE CXTPMarkupBorder::ArrangeContent(int cx, int cy)
{
    if (CXTPMarkupUIElement* pChild = GetChild())
    {
        const RECT rcInside = CXTPMarkupThickness::DeflateRect(
            CXTPMarkupThickness::DeflateRect(RECT{0, 0, cx, cy}, GetBorderThickness()), GetPadding());
        pChild->Arrange(rcInside);
    }
    return {cx, cy};
}

void CXTPMarkupBorder::DrawContent(CXTPMarkupPainter* pPainter)
{
    const int cx = m_szArranged.cx;
    const int cy = m_szArranged.cy;
    if (cx <= 0 || cy <= 0)
        return;

    const CXTPMarkupThickness* pBorder = GetBorderThickness();
    const int nLeft = pBorder->GetLeft();
    const int nTop = pBorder->GetTop();
    const int nRight = pBorder->GetRight();
    const int nBottom = pBorder->GetBottom();
    CXTPMarkupBrush* pBorderBrush = GetBorderBrush();
    if (pBorderBrush && !pBorder->IsZero())
    {
        if (nLeft > 0)
            pPainter->FillRectangle(pBorderBrush, 0, 0, nLeft, cy);
        if (nRight > 0)
            pPainter->FillRectangle(pBorderBrush, Subtract(cx, nRight), 0, cx, cy);
        if (nTop > 0)
            pPainter->FillRectangle(pBorderBrush, 0, 0, cx, nTop);
        if (nBottom > 0)
            pPainter->FillRectangle(pBorderBrush, 0, Subtract(cy, nBottom), cx, cy);
    }

    // The background stays inside the edges, so a brush with holes in it
    // would not show the edges through.
    CXTPMarkupBrush* pBackground = GetBackground();
    const int nInnerRight = Subtract(cx, nRight);
    const int nInnerBottom = Subtract(cy, nBottom);
    if (pBackground && nLeft < nInnerRight && nTop < nInnerBottom)
        pPainter->FillRectangle(pBackground, nLeft, nTop, nInnerRight, nInnerBottom);
}

CXTPMarkupInputElement* CXTPMarkupBorder::HitTestSelf(int /*x*/, int /*y*/)
{
    return GetBackground() ? this : nullptr;
}
