// Brushes: what markup paints areas with. Classes: CXTPMarkupBrush,
// CXTPMarkupSolidColorBrush, CXTPMarkupGradientStop,
// CXTPMarkupGradientStopCollection, CXTPMarkupLinearGradientBrush.
//
// Brushes are plain values here; the painter of markup/host knows how to fill
// a rectangle with each kind.
#pragma once

#include "markup/model/Collection.h"

class CXTPMarkupPoint;

// Base of all brushes. Every brush class reads a colour text as a new solid
// colour brush, so a "Background" written as "Red" or "#FF0000" converts.
class CXTPMarkupBrush : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupBrush)
public:
    CXTPMarkupBrush();

    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;
};

// Markup element "SolidColorBrush" with its "Color" property.
class CXTPMarkupSolidColorBrush : public CXTPMarkupBrush
{
    DECLARE_MARKUPCLASS(CXTPMarkupSolidColorBrush)
public:
    CXTPMarkupSolidColorBrush();
    explicit CXTPMarkupSolidColorBrush(COLORREF clr);

    // The "Color" value; 0 (black) when unset.
    COLORREF GetColor() const;
    // An unset colour reads as black but paints nothing.
    BOOL HasColor() const;

    // Equal to another solid brush of the same colour.
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

    static CXTPMarkupDependencyProperty* m_pColorProperty;
    static void RegisterMarkupProperties();
};

// Markup element "GradientStop": a colour at an offset along a gradient.
class CXTPMarkupGradientStop : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupGradientStop)
public:
    CXTPMarkupGradientStop();
    CXTPMarkupGradientStop(COLORREF clr, double dOffset);

    COLORREF GetColor() const; // 0 when unset
    double GetOffset() const;  // 0.0 when unset

    static CXTPMarkupDependencyProperty* m_pColorProperty;
    static CXTPMarkupDependencyProperty* m_pOffsetProperty;
    static void RegisterMarkupProperties();
};

class CXTPMarkupGradientStopCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupGradientStopCollection)
public:
    CXTPMarkupGradientStopCollection();

    CXTPMarkupGradientStop* GetStop(int nIndex) const; // borrowed
};

// Markup element "LinearGradientBrush". Its content is its gradient stops;
// the end points are fractions of the filled rectangle.
class CXTPMarkupLinearGradientBrush : public CXTPMarkupBrush
{
    DECLARE_MARKUPCLASS(CXTPMarkupLinearGradientBrush)
public:
    CXTPMarkupLinearGradientBrush();

    // Borrowed; the brush owns the collection for its whole life.
    CXTPMarkupGradientStopCollection* GetGradientStops() const { return m_pGradientStops; }

    // "StartPoint" and "EndPoint", borrowed; null when unset.
    const CXTPMarkupPoint* GetStartPoint() const;
    const CXTPMarkupPoint* GetEndPoint() const;

    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

    static CXTPMarkupDependencyProperty* m_pStartPointProperty;
    static CXTPMarkupDependencyProperty* m_pEndPointProperty;
    static void RegisterMarkupProperties();

protected:
    ~CXTPMarkupLinearGradientBrush() override;

private:
    CXTPMarkupGradientStopCollection* m_pGradientStops;
};
