#include "markup/elements/UIElementCollection.h"

#include "markup/elements/UIElement.h"

#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupUIElementCollection, CXTPMarkupCollection)

CXTPMarkupUIElementCollection::CXTPMarkupUIElementCollection() : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupUIElement))
{
}

CXTPMarkupUIElement* CXTPMarkupUIElementCollection::GetElement(int nIndex) const
{
    // Only UI elements are ever added.
    return static_cast<CXTPMarkupUIElement*>(GetItem(nIndex));
}
