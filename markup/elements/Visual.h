// A markup element that can be drawn and hit: its place in the parent, the
// size its arrangement gave it, and the bounds of its whole subtree.
#pragma once

#include "markup/elements/InputElement.h"

class CXTPMarkupPainter;

class CXTPMarkupVisual : public CXTPMarkupInputElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupVisual)
public:
    // Where this element's origin lies in its parent's coordinates.
    POINT GetOffset() const { return m_ptOffset; }
    // The size the last arrangement gave it; it draws into (0, 0, cx, cy).
    SIZE GetArrangedSize() const { return m_szArranged; }
    // (0, 0, ArrangedSize) joined with every child's bounds, in this
    // element's coordinates: what Render and HitTest test before descending.
    const RECT& GetBounds() const { return m_rcBounds; }
    const CXTPMarkupVisual* GetPlacement(RECT* pRect) const override;

    // Draws the element and its subtree. The painter's origin is the parent's
    // on entry and again on return, and so is its clipping.
    void Render(CXTPMarkupPainter* pPainter);

    // Recomputes the bounds of the subtree from the children up.
    void UpdateBounds();
    // rc (own coordinates) cut to what the element lets show of its
    // subtree. An element that shows nothing (hidden) leaves rc as it is:
    // what it drew before it hid may still need repainting.
    RECT CutToVisible(const RECT& rc) const;
    // rc (own coordinates) in the root's, cut on the way up by every visual
    // that clips when bCutToVisible.
    RECT ToRoot(RECT rc, BOOL bCutToVisible) const;

    // The nearest logical ancestor that is a visual; objects in between (a
    // panel's child collection) are passed over.
    CXTPMarkupVisual* GetParentVisual() const;

    // (x, y) in the parent's coordinates; the deepest element that takes the
    // hit, the topmost child first, or null.
    CXTPMarkupInputElement* HitTest(int x, int y) override;

    // Children in drawing order; later children are drawn over earlier ones.
    virtual int GetChildCount() const;
    virtual CXTPMarkupVisual* GetChild(int nIndex) const;

    // The logical children are the visual children.
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

protected:
    CXTPMarkupVisual();

    // TRUE with the rectangle (own coordinates) that drawing and hits are cut
    // to; an empty rectangle hides the element and its subtree.
    virtual BOOL GetClipRect(RECT& rcClip) const;
    // The element's own drawing, in its own coordinates, under its children.
    virtual void DrawContent(CXTPMarkupPainter* pPainter);
    // Drawn over the children while "IsKeyboardFocused" is true.
    virtual void DrawFocusCue(CXTPMarkupPainter* pPainter);
    // Whether a point of the element's own area (own coordinates) hits it.
    virtual CXTPMarkupInputElement* HitTestSelf(int x, int y);

    POINT m_ptOffset;
    SIZE m_szArranged;
    RECT m_rcBounds;
};
