// Brushes: what markup paints areas with. Classes: CXTPMarkupBrush,
// CXTPMarkupSolidColorBrush.
#pragma once

#include "markup/model/Object.h"

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

    // Equal to another solid brush of the same colour.
    BOOL IsEqual(const CXTPMarkupObject* pObject) const override;

    static CXTPMarkupDependencyProperty* m_pColorProperty;
    static void RegisterMarkupProperties();
};
