// Base of the interactive elements: a padding, a background and a text
// colour that their chrome and content use, and a layout that gives the
// first visual child the whole area.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPMarkupBrush;

class CXTPMarkupControl : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupControl)
public:
    CXTPMarkupControl();

    static CXTPMarkupDependencyProperty* m_pPaddingProperty;    // the border's; re-measures
    static CXTPMarkupDependencyProperty* m_pBackgroundProperty; // the panel's; repaints
    static CXTPMarkupDependencyProperty* m_pForegroundProperty; // the text's; inherits, repaints
    static void RegisterMarkupProperties();

    const CXTPMarkupThickness* GetPadding() const; // never null
    CXTPMarkupBrush* GetBackground() const;        // borrowed, null when unset
    CXTPMarkupBrush* GetForeground() const;        // borrowed, null when unset

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;

    // The first visual child, or null.
    CXTPMarkupUIElement* GetFirstChild() const;
};
