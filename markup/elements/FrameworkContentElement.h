// Base of the text content of a text block: elements that take the mouse and
// carry properties and styles, but have no place or size of their own. The
// text block that holds them places and draws them.
#pragma once

#include "markup/elements/InputElement.h"

class CXTPMarkupFrameworkElement;

class CXTPMarkupFrameworkContentElement : public CXTPMarkupInputElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupFrameworkContentElement)
public:
    CXTPMarkupFrameworkContentElement();

    // The framework elements' "Tag", shared: any object, for the application's use.
    static CXTPMarkupDependencyProperty* m_pTagProperty;
    static void RegisterMarkupProperties();

    // The nearest logical ancestor that is a framework element (the text
    // block, for text content), borrowed; null outside any.
    CXTPMarkupFrameworkElement* GetParentFrameworkElement() const;

    // A property change runs the property's callback and re-evaluates the
    // triggers; then the enclosing framework element is invalidated by the
    // property's flags, since it lays out and draws this content.
    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override;
};
