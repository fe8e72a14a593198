// Vector figures drawn with pens and brushes. Classes: CXTPMarkupShape,
// CXTPMarkupPolygon, CXTPMarkupPolyline, CXTPMarkupRectangle,
// CXTPMarkupEllipse, CXTPMarkupLine.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPMarkupBrush;
class CXTPMarkupPointCollection;

// What every figure shares: the fill and the stroke with its thickness, and
// the stretch mode (used by the polyline only). Figures draw in their own
// coordinates, from their top-left corner.
class CXTPMarkupShape : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupShape)
public:
    CXTPMarkupShape();

    static CXTPMarkupDependencyProperty* m_pFillProperty;            // brush
    static CXTPMarkupDependencyProperty* m_pStrokeProperty;          // brush
    static CXTPMarkupDependencyProperty* m_pStrokeThicknessProperty; // Int, unset reads 1
    static CXTPMarkupDependencyProperty* m_pStretchProperty;         // Enum, "None"
    static void RegisterMarkupProperties();

    CXTPMarkupBrush* GetFill() const; // borrowed, null when unset
    CXTPMarkupBrush* GetStroke() const;
    int GetStrokeThickness() const;
    int GetStretch() const; // xtpMarkupStretch...
};

class CXTPMarkupPolygon : public CXTPMarkupShape
{
    DECLARE_MARKUPCLASS(CXTPMarkupPolygon)
public:
    CXTPMarkupPolygon();

    static CXTPMarkupDependencyProperty* m_pPointsProperty; // point collection; re-measures
    static void RegisterMarkupProperties();

    const CXTPMarkupPointCollection* GetPoints() const; // borrowed, null when unset

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;
};

class CXTPMarkupPolyline : public CXTPMarkupShape
{
    DECLARE_MARKUPCLASS(CXTPMarkupPolyline)
public:
    CXTPMarkupPolyline();

    static CXTPMarkupDependencyProperty* m_pPointsProperty; // point collection; re-measures
    static void RegisterMarkupProperties();

    const CXTPMarkupPointCollection* GetPoints() const;

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    // Never filled; with a stretch the points scale to the arranged size.
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;
};

// Takes its size from "Width"/"Height" or its slot; the stroke lies inside
// the box, over the fill.
class CXTPMarkupRectangle : public CXTPMarkupShape
{
    DECLARE_MARKUPCLASS(CXTPMarkupRectangle)
public:
    CXTPMarkupRectangle();

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;
};

// Fills its box like the rectangle; only points inside the ellipse hit it.
class CXTPMarkupEllipse : public CXTPMarkupShape
{
    DECLARE_MARKUPCLASS(CXTPMarkupEllipse)
public:
    CXTPMarkupEllipse();

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;
};

// A stroke from ("X1", "Y1") to ("X2", "Y2"); only points within half the
// stroke's thickness of it hit it.
class CXTPMarkupLine : public CXTPMarkupShape
{
    DECLARE_MARKUPCLASS(CXTPMarkupLine)
public:
    CXTPMarkupLine();

    static CXTPMarkupDependencyProperty* m_pX1Property; // Int, re-measures; unset reads 0
    static CXTPMarkupDependencyProperty* m_pY1Property;
    static CXTPMarkupDependencyProperty* m_pX2Property;
    static CXTPMarkupDependencyProperty* m_pY2Property;
    static void RegisterMarkupProperties();

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;

private:
    int GetCoordinate(const CXTPMarkupDependencyProperty* pProperty) const;
};
