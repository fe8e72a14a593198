// The layout rules every markup element shares: margins, explicit, minimum
// and maximum sizes, alignment in the slot the parent gives, clipping of
// content that does not fit, and invalidation on property changes.
//
// Subclasses supply their content only:
//   MeasureContent  the content's size for a constraint (margins and limits
//                   already taken off; either extent may be 0x7FFFFFFF);
//   ArrangeContent  places the children in the content box and answers the
//                   size the element takes;
//   DrawContent, HitTestSelf, GetChildCount and GetChild (CXTPMarkupVisual).
#pragma once

#include "markup/elements/UIElement.h"

class CXTPMarkupThickness;

class CXTPMarkupFrameworkElement : public CXTPMarkupUIElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupFrameworkElement)
public:
    CXTPMarkupFrameworkElement();

    static CXTPMarkupDependencyProperty* m_pMarginProperty;              // Thickness, zero
    static CXTPMarkupDependencyProperty* m_pHorizontalAlignmentProperty; // Enum, unset reads "Stretch"
    static CXTPMarkupDependencyProperty* m_pVerticalAlignmentProperty;   // Enum, unset reads "Stretch"
    static CXTPMarkupDependencyProperty* m_pWidthProperty;               // Int, lengths
    static CXTPMarkupDependencyProperty* m_pHeightProperty;
    static CXTPMarkupDependencyProperty* m_pMinWidthProperty;
    static CXTPMarkupDependencyProperty* m_pMinHeightProperty;
    static CXTPMarkupDependencyProperty* m_pMaxWidthProperty;
    static CXTPMarkupDependencyProperty* m_pMaxHeightProperty;
    static CXTPMarkupDependencyProperty* m_pTagProperty; // any object, for the application's use
    static void RegisterMarkupProperties();

    // The "Margin" value; never null.
    const CXTPMarkupThickness* GetMargin() const;
    int GetHorizontalAlignment() const; // xtpMarkupHorizontalAlignment...
    int GetVerticalAlignment() const;   // xtpMarkupVerticalAlignment...

    // Whether the last measure or arrangement had to cut the content.
    BOOL IsClipNeeded() const { return m_bClipNeeded; }

    // The offset of content of (cx, cy) in a slot of (cxSlot, cySlot) by the
    // element's alignments. Odd spare pixels go right and down; content
    // larger than a stretching slot keeps to the left or top edge.
    POINT AlignmentOffset(int cxSlot, int cySlot, int cx, int cy) const;

    // A property change runs the property's callback, re-evaluates triggers,
    // then invalidates by the property's flags: measure, arrange, repaint.
    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override;

protected:
    // The content's size for the constraint; the base has no content.
    virtual SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint);
    // Places the content in (0, 0, cx, cy) and answers the size the element
    // takes (the base: exactly that).
    virtual SIZE ArrangeContent(int cx, int cy);

    // Cut to the element's limits and to its slot when its content did not
    // fit, or when "ClipToBounds" asks for it.
    BOOL GetClipRect(RECT& rcClip) const override;

    SIZE MeasureElement(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable) override;
    void ArrangeElement(const RECT& rcFinal) override;
    // The offset is the rectangle's corner plus what margins, alignment and
    // size decide: a move only shifts it.
    BOOL MoveArrangement(int dx, int dy) override;

private:
    // Effective limits from the explicit, minimum and maximum sizes.
    void UpdateSizeLimits();
    int GetLength(const CXTPMarkupDependencyProperty* pProperty, int nUnset) const;

    BOOL m_bClipNeeded;
    SIZE m_szUnclippedContent;
    BOOL m_bHasUnclippedContentSize;
    int m_nMaxHeight;
    int m_nMinHeight;
    int m_nMaxWidth;
    int m_nMinWidth;
};
