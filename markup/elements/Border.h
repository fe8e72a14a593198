// An element that draws edges and a background around one child, kept off
// the edges by a padding.
#pragma once

#include "markup/elements/SingleChildElement.h"

class CXTPMarkupBrush;

class CXTPMarkupBorder : public CXTPMarkupSingleChildElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupBorder)
public:
    CXTPMarkupBorder();

    static CXTPMarkupDependencyProperty* m_pBackgroundProperty;      // brush; repaints
    static CXTPMarkupDependencyProperty* m_pPaddingProperty;         // Thickness, zero; re-measures
    static CXTPMarkupDependencyProperty* m_pBorderThicknessProperty; // Thickness, zero; re-measures
    static CXTPMarkupDependencyProperty* m_pBorderBrushProperty;     // brush; repaints
    static void RegisterMarkupProperties();

    CXTPMarkupBrush* GetBackground() const; // borrowed, null when unset
    CXTPMarkupBrush* GetBorderBrush() const;
    const CXTPMarkupThickness* GetPadding() const; // never null
    const CXTPMarkupThickness* GetBorderThickness() const;

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;
    // Only a border with a background takes the mouse itself.
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;
};
