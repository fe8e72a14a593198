// Base of the elements that hold any number of children: the child
// collection, the background and child enumeration. A plain "Panel" neither
// measures nor arranges its children, so only its background shows.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPMarkupBrush;
class CXTPMarkupUIElementCollection;

class CXTPMarkupPanel : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupPanel)
public:
    CXTPMarkupPanel();

    static CXTPMarkupDependencyProperty* m_pBackgroundProperty; // brush; repaints
    static void RegisterMarkupProperties();

    // Borrowed; the panel owns its collection for its whole life.
    CXTPMarkupUIElementCollection* GetChildren() const { return m_pChildren; }
    CXTPMarkupBrush* GetBackground() const; // borrowed, null when unset

    // Markup content is appended to the children; anything but a UI element
    // is refused with the collection's builder error.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;

    int GetChildCount() const override;
    CXTPMarkupVisual* GetChild(int nIndex) const override;

protected:
    ~CXTPMarkupPanel() override;

    void DrawContent(CXTPMarkupPainter* pPainter) override;
    // Only a panel with a background takes the mouse itself; without one it
    // lets hits through to whatever lies under it.
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;

private:
    CXTPMarkupUIElementCollection* m_pChildren;
};
