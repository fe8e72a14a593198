// The outermost element of a page of markup: one child over its whole area.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPMarkupPage : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupPage)
public:
    CXTPMarkupPage();

    CXTPMarkupUIElement* GetChild() const { return m_pChild; } // borrowed, may be null
    // Takes over the reference; the old child loses its parent link.
    void SetChild(CXTPMarkupUIElement* pChild);

    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    int GetChildCount() const override;
    CXTPMarkupVisual* GetChild(int nIndex) const override;

protected:
    ~CXTPMarkupPage() override;

    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    // The page lets every hit through to its child.
    CXTPMarkupInputElement* HitTestSelf(int x, int y) override;

private:
    CXTPMarkupUIElement* m_pChild;
};
