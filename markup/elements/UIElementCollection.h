// The children of a panel: an ordered collection of UI elements.
#pragma once

#include "markup/model/Collection.h"

class CXTPMarkupUIElement;

// Items get the collection as their logical parent; the collection's own
// parent is the panel, which GetParentVisual finds past it.
class CXTPMarkupUIElementCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupUIElementCollection)
public:
    CXTPMarkupUIElementCollection();

    CXTPMarkupUIElement* GetElement(int nIndex) const; // borrowed; null outside the items
};
