// Base of the elements that hold exactly one child (the border), and the
// content rules the page shares.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPMarkupSingleChildElement : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupSingleChildElement)
public:
    CXTPMarkupSingleChildElement();

    CXTPMarkupUIElement* GetChild() const { return m_pChild; } // borrowed, may be null
    // Takes over the reference to pChild (null removes the child). The old
    // child loses its parent link, so it no longer reaches this element.
    void SetChild(CXTPMarkupUIElement* pChild);

    // One UI element; anything else, or a second child, is a builder error.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;

    int GetChildCount() const override;
    CXTPMarkupVisual* GetChild(int nIndex) const override;

    // The content rules, shared with the page, which is not a single-child
    // element by type.
    static void AddSingleContent(CXTPMarkupObject* pOwner, CXTPMarkupUIElement*& pChild, CXTPMarkupObject* pContent);
    // The builder errors of those rules: raised unless pContent is a UI
    // element and pOwner has no child yet. pContent stays the caller's.
    static void CheckSingleContent(const CXTPMarkupObject* pOwner, BOOL bHasChild, const CXTPMarkupObject* pContent);
    static void ReplaceChild(CXTPMarkupObject* pOwner, CXTPMarkupUIElement*& pChild, CXTPMarkupUIElement* pNew);

protected:
    ~CXTPMarkupSingleChildElement() override;

private:
    CXTPMarkupUIElement* m_pChild;
};
