// The two-pass layout protocol: a parent measures each child with the space
// it can offer and then arranges it in a rectangle; both passes are skipped
// when nothing changed since the last one. Adds "Visibility" and the
// invalidation that property and content changes start.
#pragma once

#include "markup/elements/Visual.h"

#include "markup/model/Converter.h"

class CXTPMarkupUIElement : public CXTPMarkupVisual
{
    DECLARE_MARKUPCLASS(CXTPMarkupUIElement)
public:
    static CXTPMarkupDependencyProperty* m_pClipToBoundsProperty; // Bool, unset reads False
    static CXTPMarkupDependencyProperty* m_pVisibilityProperty;   // Enum, unset reads "Visible"
    static CXTPMarkupDependencyProperty* m_pFocusableProperty;    // Bool, False
    static CXTPMarkupDependencyProperty* m_pIsEnabledProperty;    // Bool, True
    static void RegisterMarkupProperties();

    // The only way a parent measures a child: the available size includes
    // the child's margins and may be unbounded (0x7FFFFFFF). The painter
    // measures text and pictures and may be a temporary one. Afterwards the
    // parent reads GetMeasuredSize.
    void Measure(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable);
    // The only way a parent places a child: the rectangle is in the parent's
    // coordinates and includes the child's margins. An element never measured
    // is measured first with the rectangle's size.
    void Arrange(const RECT& rcFinal);

    SIZE GetMeasuredSize() const { return m_szMeasured; }
    const RECT& GetLayoutRect() const { return m_rcLayout; }
    BOOL IsMeasureDirty() const { return m_bMeasureDirty; }
    BOOL IsArrangeDirty() const { return m_bArrangeDirty; }

    int GetVisibility() const; // xtpMarkupVisibilityVisible, Hidden or Collapsed
    BOOL GetClipToBounds() const;

    // A change of what this element asks for or where its parts go: measured
    // again with the last available size and, when its size requirement
    // changed, its parent too (up to the host at the root). Nothing happens
    // before the first measure and during this element's own measure.
    virtual void InvalidateMeasure();
    // Arranged again in the last rectangle and repainted; nothing before the
    // first arrangement and during this element's own arrangement.
    virtual void InvalidateArrange();
    // Repaints the element's area through its host.
    virtual void InvalidateVisual();
    // InvalidateMeasure with a painter the caller already has.
    virtual void InvalidateMeasureWith(CXTPMarkupPainter* pPainter);

protected:
    CXTPMarkupUIElement();

    // Hidden and collapsed elements clip to nothing: they draw nothing and are
    // never hit.
    BOOL GetClipRect(RECT& rcClip) const override;

    // The element's part of a measure that ran: its size requirement for the
    // available size (both margins included).
    virtual SIZE MeasureElement(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable);
    // The element's part of an arrangement that ran: the base takes the
    // rectangle's size and leaves the offset.
    virtual void ArrangeElement(const RECT& rcFinal);
    // An arrangement that only moves the element by (dx, dy), its size and
    // everything inside it staying as they are: TRUE when the element took
    // the move itself, so that its content is not placed again (a scrolled
    // text of many lines). The base, whose origin never follows its
    // rectangle, answers FALSE.
    virtual BOOL MoveArrangement(int dx, int dy);

private:
    // Arranges again in place; the area is repainted both where the element
    // was and where it is now, since the arrangement may move it.
    void RearrangeInPlace();

    SIZE m_szMeasured;
    RECT m_rcLayout;
    SIZE m_szPreviousAvailable;
    BOOL m_bMeasureDirty;
    BOOL m_bNeverMeasured;
    BOOL m_bArrangeDirty;
    BOOL m_bNeverArranged;
    BOOL m_bInArrange;
    BOOL m_bInMeasure;
};
