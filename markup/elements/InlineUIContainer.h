// An element shown inside text: it takes one place in the line, as wide and
// high as it measures, and lines may break before and after it.
#pragma once

#include "markup/elements/Inline.h"

class CXTPMarkupUIElement;

class CXTPMarkupInlineUIContainer : public CXTPMarkupInline
{
    DECLARE_MARKUPCLASS(CXTPMarkupInlineUIContainer)
public:
    CXTPMarkupInlineUIContainer();

    CXTPMarkupUIElement* GetChild() const { return m_pChild; } // borrowed, may be null
    // Takes over the reference; replaces (and releases) the previous child.
    void SetChild(CXTPMarkupUIElement* pChild);

    // One UI element; anything else is refused with a builder error.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

    // Two positions, 0 and 1, both white space: the element is a word of
    // its own. Position 0 stands for the element.
    int GetTextStart() const override;
    int Advance(int nPos) const override;
    BOOL IsWhiteSpaceAt(int nPos) const override;
    void ArrangeRange(const RECT& rc, int nStart, int nEnd) override;
    SIZE MeasureRange(CXTPMarkupPainter* pPainter, int nStart, int nEnd) override;
    void RenderRange(CXTPMarkupPainter* pPainter, const RECT& rc, int nStart, int nEnd) override;

    // The child's hit, or the container where the child is not hit.
    CXTPMarkupInputElement* HitTest(int x, int y) override;

protected:
    ~CXTPMarkupInlineUIContainer() override;

private:
    // Room an embedded element is measured in: it sizes to its content.
    static constexpr int kMeasureExtent = 32000;

    CXTPMarkupUIElement* m_pChild; // held; its logical parent is this container
};
