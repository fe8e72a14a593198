// One property value a style or a trigger supplies. Classes: CXTPMarkupSetter,
// CXTPMarkupSetterColection.
#pragma once

#include "markup/model/Collection.h"

class CXTPMarkupDependencyProperty;

// Markup writes the property as a name ("Foreground", "TextBlock.Foreground")
// and the value as text; resolution against the style's target type turns
// them into the property record and a value of the property's type.
class CXTPMarkupSetter : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupSetter)
public:
    CXTPMarkupSetter();
    // A resolved setter made in code (built-in styles); takes over the
    // reference to pValue.
    CXTPMarkupSetter(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);

    static CXTPMarkupDependencyProperty* m_pPropertyProperty; // "Property"
    static CXTPMarkupDependencyProperty* m_pValueProperty;    // "Value"
    static void RegisterMarkupProperties();

    // The property once resolved, else null; the value as stored. Borrowed.
    CXTPMarkupDependencyProperty* GetSetterProperty() const;
    CXTPMarkupObject* GetSetterValue() const;

    // Turns "Property" into a property record found along pTargetType (or
    // along the type a dotted name gives) and converts "Value" to that
    // property's type. Raises CXTPMarkupBuilderException when either is
    // missing or the name is unknown; a conversion failure raises the
    // builder's conversion error.
    void Resolve(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupType* pTargetType);

    // The same for any object holding the "Property" and "Value" pair: a
    // trigger resolves its own pair with it.
    static void ResolvePair(CXTPMarkupObject* pHolder, CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupType* pTargetType);
};

class CXTPMarkupSetterColection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupSetterColection)
public:
    CXTPMarkupSetterColection();

    CXTPMarkupSetter* GetSetter(int nIndex) const; // borrowed
};
