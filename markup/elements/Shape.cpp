#include "markup/elements/Shape.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/PointCollection.h"

#include "markup/elements/Painter.h"

#include "markup/model/Brush.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupShape, CXTPMarkupFrameworkElement)
IMPLEMENT_MARKUPCLASS(L"Polygon", CXTPMarkupPolygon, CXTPMarkupShape)
IMPLEMENT_MARKUPCLASS(L"Polyline", CXTPMarkupPolyline, CXTPMarkupShape)
IMPLEMENT_MARKUPCLASS(L"Rectangle", CXTPMarkupRectangle, CXTPMarkupShape)
IMPLEMENT_MARKUPCLASS(L"Ellipse", CXTPMarkupEllipse, CXTPMarkupShape)
IMPLEMENT_MARKUPCLASS(L"Line", CXTPMarkupLine, CXTPMarkupShape)

CXTPMarkupDependencyProperty* CXTPMarkupShape::m_pFillProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupShape::m_pStrokeProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupShape::m_pStrokeThicknessProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupShape::m_pStretchProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupPolygon::m_pPointsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupPolyline::m_pPointsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLine::m_pX1Property = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLine::m_pY1Property = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLine::m_pX2Property = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupLine::m_pY2Property = nullptr;

void CXTPMarkupShape::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupShape);
    m_pFillProperty =
        Property::Register(L"Fill", MARKUP_TYPE(CXTPMarkupBrush), pOwner, new Options(nullptr, Options::AffectsRender));
    m_pStrokeProperty = Property::Register(L"Stroke", MARKUP_TYPE(CXTPMarkupBrush), pOwner,
                                           new Options(nullptr, Options::AffectsRender));
    m_pStrokeThicknessProperty = Property::Register(L"StrokeThickness", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                                    new Options(nullptr, Options::AffectsRender));
    m_pStretchProperty = Property::Register(L"Stretch", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                                            new Options(CXTPMarkupEnum::CreateValue(xtpMarkupStretchNone),
                                                        &CXTPMarkupConverter::ConvertStretch, Options::AffectsRender));
}

void CXTPMarkupPolygon::RegisterMarkupProperties()
{
    m_pPointsProperty = CXTPMarkupDependencyProperty::Register(
        L"Points", MARKUP_TYPE(CXTPMarkupPointCollection), MARKUP_TYPE(CXTPMarkupPolygon),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
}

void CXTPMarkupPolyline::RegisterMarkupProperties()
{
    m_pPointsProperty = CXTPMarkupDependencyProperty::Register(
        L"Points", MARKUP_TYPE(CXTPMarkupPointCollection), MARKUP_TYPE(CXTPMarkupPolyline),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
}

void CXTPMarkupLine::RegisterMarkupProperties()
{
    using Property = CXTPMarkupDependencyProperty;
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupLine);
    m_pX1Property =
        Property::Register(L"X1", MARKUP_TYPE(CXTPMarkupInt), pOwner, new Options(nullptr, Options::AffectsMeasure));
    m_pY1Property =
        Property::Register(L"Y1", MARKUP_TYPE(CXTPMarkupInt), pOwner, new Options(nullptr, Options::AffectsMeasure));
    m_pX2Property =
        Property::Register(L"X2", MARKUP_TYPE(CXTPMarkupInt), pOwner, new Options(nullptr, Options::AffectsMeasure));
    m_pY2Property =
        Property::Register(L"Y2", MARKUP_TYPE(CXTPMarkupInt), pOwner, new Options(nullptr, Options::AffectsMeasure));
}

CXTPMarkupShape::CXTPMarkupShape() {}
CXTPMarkupPolygon::CXTPMarkupPolygon() {}
CXTPMarkupPolyline::CXTPMarkupPolyline() {}
CXTPMarkupRectangle::CXTPMarkupRectangle() {}
CXTPMarkupEllipse::CXTPMarkupEllipse() {}
CXTPMarkupLine::CXTPMarkupLine() {}

CXTPMarkupBrush* CXTPMarkupShape::GetFill() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pFillProperty));
}

CXTPMarkupBrush* CXTPMarkupShape::GetStroke() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pStrokeProperty));
}

int CXTPMarkupShape::GetStrokeThickness() const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(m_pStrokeThicknessProperty));
    return pValue ? static_cast<int>(*pValue) : 1;
}

int CXTPMarkupShape::GetStretch() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pStretchProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupStretchNone;
}

namespace
{
SIZE PointsExtent(const CXTPMarkupPointCollection* pPoints)
{
    if (!pPoints || pPoints->GetPoints().empty())
        return {0, 0};
    return {pPoints->GetBounds().right, pPoints->GetBounds().bottom};
}

// The stroke reaches past the end points by up to its thickness.
SIZE AddStroke(SIZE sz, const CXTPMarkupShape* pShape)
{
    if (!pShape->GetStroke())
        return sz;
    const int t = pShape->GetStrokeThickness();
    return {Add(sz.cx, t), Add(sz.cy, t)};
}
} // namespace

// --- Polygon -------------------------------------------------------------------

const CXTPMarkupPointCollection* CXTPMarkupPolygon::GetPoints() const
{
    return MarkupCast<CXTPMarkupPointCollection>(GetValue(m_pPointsProperty));
}

SIZE CXTPMarkupPolygon::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    return PointsExtent(GetPoints());
}

void CXTPMarkupPolygon::DrawContent(CXTPMarkupPainter* pPainter)
{
    const CXTPMarkupPointCollection* pPoints = GetPoints();
    CXTPMarkupBrush* pStroke = GetStroke();
    CXTPMarkupBrush* pFill = GetFill();
    if (!pPoints || pPoints->GetPoints().empty() || (!pStroke && !pFill))
        return;
    const std::vector<POINT>& points = pPoints->GetPoints();
    pPainter->DrawPolygon(points.data(), int(points.size()), pStroke, GetStrokeThickness(), pFill);
}

CXTPMarkupInputElement* CXTPMarkupPolygon::HitTestSelf(int /*x*/, int /*y*/)
{
    return this;
}

// --- Polyline ------------------------------------------------------------------

const CXTPMarkupPointCollection* CXTPMarkupPolyline::GetPoints() const
{
    return MarkupCast<CXTPMarkupPointCollection>(GetValue(m_pPointsProperty));
}

SIZE CXTPMarkupPolyline::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    const CXTPMarkupPointCollection* pPoints = GetPoints();
    if (!pPoints || pPoints->GetPoints().empty())
        return {0, 0};
    return AddStroke(PointsExtent(pPoints), this);
}

void CXTPMarkupPolyline::DrawContent(CXTPMarkupPainter* pPainter)
{
    const CXTPMarkupPointCollection* pPoints = GetPoints();
    CXTPMarkupBrush* pStroke = GetStroke();
    if (!pPoints || pPoints->GetPoints().empty() || !pStroke)
        return;

    std::vector<POINT> points = pPoints->GetPoints();
    if (GetStretch() != xtpMarkupStretchNone)
    {
        const RECT& rcBounds = pPoints->GetBounds();
        for (POINT& pt : points)
        {
            // 64-bit products: a large arranged size times a large coordinate
            // would overflow 32 bits.
            if (rcBounds.right != 0)
                pt.x = Clamp(static_cast<long long>(m_szArranged.cx) * pt.x / rcBounds.right);
            if (rcBounds.bottom != 0)
                pt.y = Clamp(static_cast<long long>(m_szArranged.cy) * pt.y / rcBounds.bottom);
        }
    }
    pPainter->DrawPolyline(points.data(), int(points.size()), pStroke, GetStrokeThickness());
}

CXTPMarkupInputElement* CXTPMarkupPolyline::HitTestSelf(int /*x*/, int /*y*/)
{
    return this;
}

// --- Rectangle -----------------------------------------------------------------

SIZE CXTPMarkupRectangle::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    return {0, 0};
}

void CXTPMarkupRectangle::DrawContent(CXTPMarkupPainter* pPainter)
{
    CXTPMarkupBrush* pStroke = GetStroke();
    CXTPMarkupBrush* pFill = GetFill();
    const int w = m_szArranged.cx;
    const int h = m_szArranged.cy;
    if ((!pStroke && !pFill) || w <= 0 || h <= 0)
        return;
    if (pFill)
        pPainter->FillRectangle(pFill, 0, 0, w, h);
    const int t = GetStrokeThickness();
    if (pStroke && t >= 1)
    {
        pPainter->FillRectangle(pStroke, 0, 0, t, h);
        pPainter->FillRectangle(pStroke, Subtract(w, t), 0, w, h);
        pPainter->FillRectangle(pStroke, 0, 0, w, t);
        pPainter->FillRectangle(pStroke, 0, Subtract(h, t), w, h);
    }
}

CXTPMarkupInputElement* CXTPMarkupRectangle::HitTestSelf(int /*x*/, int /*y*/)
{
    return this;
}

// --- Ellipse -------------------------------------------------------------------

SIZE CXTPMarkupEllipse::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    return {0, 0};
}

void CXTPMarkupEllipse::DrawContent(CXTPMarkupPainter* pPainter)
{
    CXTPMarkupBrush* pStroke = GetStroke();
    CXTPMarkupBrush* pFill = GetFill();
    if (!pStroke && !pFill)
        return;
    pPainter->DrawEllipse(RECT{0, 0, m_szArranged.cx, m_szArranged.cy}, pStroke, GetStrokeThickness(), pFill);
}

CXTPMarkupInputElement* CXTPMarkupEllipse::HitTestSelf(int x, int y)
{
    const int a = m_szArranged.cx / 2;
    const int b = m_szArranged.cy / 2;
    if (a <= 0 || b <= 0)
        return this;
    const double dx = double(x - a) / a;
    const double dy = double(y - b) / b;
    return dx * dx + dy * dy > 1 ? nullptr : this;
}

// --- Line ----------------------------------------------------------------------

int CXTPMarkupLine::GetCoordinate(const CXTPMarkupDependencyProperty* pProperty) const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(pProperty));
    return pValue ? static_cast<int>(*pValue) : 0;
}

SIZE CXTPMarkupLine::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    const SIZE sz = {std::max(GetCoordinate(m_pX1Property), GetCoordinate(m_pX2Property)),
                     std::max(GetCoordinate(m_pY1Property), GetCoordinate(m_pY2Property))};
    return AddStroke(sz, this);
}

void CXTPMarkupLine::DrawContent(CXTPMarkupPainter* pPainter)
{
    CXTPMarkupBrush* pStroke = GetStroke();
    const int x1 = GetCoordinate(m_pX1Property);
    const int y1 = GetCoordinate(m_pY1Property);
    const int x2 = GetCoordinate(m_pX2Property);
    const int y2 = GetCoordinate(m_pY2Property);
    const int t = GetStrokeThickness();
    if (!pStroke || t == 0 || (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0))
        return;
    pPainter->DrawLine(x1, y1, x2, y2, pStroke, t);
}

CXTPMarkupInputElement* CXTPMarkupLine::HitTestSelf(int x, int y)
{
    const int t = GetStrokeThickness();
    if (!GetStroke() || t == 0)
        return nullptr;
    const double r = t / 2.0;
    const double x1 = GetCoordinate(m_pX1Property);
    const double y1 = GetCoordinate(m_pY1Property);
    const double dx = GetCoordinate(m_pX2Property) - x1;
    const double dy = GetCoordinate(m_pY2Property) - y1;
    const double px = x - x1;
    const double py = y - y1;
    if (px < std::min(dx, 0.0) - r || px > std::max(dx, 0.0) + r || py < std::min(dy, 0.0) - r
        || py > std::max(dy, 0.0) + r)
        return nullptr;
    if (dx == 0)
        return std::fabs(px) <= r ? this : nullptr;
    // The vertical distance to the line, against the vertical extent of a
    // band r wide around it.
    return std::fabs(px * dy / dx - py) <= std::fabs(r / std::cos(std::atan(dy / dx))) ? this : nullptr;
}
