// A control showing one element, its "Content". Markup gives it as the one
// child element or as text, which becomes a text block.
#pragma once

#include "markup/host/Control.h"

class CXTPMarkupContentControl : public CXTPMarkupControl
{
    DECLARE_MARKUPCLASS(CXTPMarkupContentControl)
public:
    static CXTPMarkupDependencyProperty* m_pContentProperty; // UIElement; re-measures
    static void RegisterMarkupProperties();

    CXTPMarkupUIElement* GetContent() const; // borrowed, null when unset
    // Takes over the reference; null removes the content.
    void SetContent(CXTPMarkupUIElement* pContent);

    // One element, or text; anything else, or a second child, is a builder
    // error.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;

    int GetChildCount() const override;
    CXTPMarkupVisual* GetChild(int nIndex) const override;

protected:
    CXTPMarkupContentControl();

    // A text block holding one run of pText, made for pHost; one reference.
    static CXTPMarkupUIElement* CreateTextContent(CXTPMarkupElementContext* pHost, CXTPMarkupObject* pText);

private:
    static CXTPMarkupObject* ConvertContent(CXTPMarkupElementContext* pHost, CXTPMarkupObject* pValue);
};
