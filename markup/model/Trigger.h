// A property trigger: while an element's property has the trigger's value, the
// trigger's setters apply. Classes: CXTPMarkupTrigger, CXTPMarkupTriggerCollection.
#pragma once

#include "markup/model/Setter.h"

class CXTPMarkupTrigger : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupTrigger)
public:
    CXTPMarkupTrigger();

    // "Property" and "Value" are the setter's, shared; "Setters" holds the
    // setters, given through the Trigger.Setters property element (a trigger
    // takes no direct content).
    static CXTPMarkupDependencyProperty* m_pPropertyProperty;
    static CXTPMarkupDependencyProperty* m_pValueProperty;
    static CXTPMarkupDependencyProperty* m_pSettersProperty;
    static void RegisterMarkupProperties();

    // Borrowed; the property is null until resolved, the setters null when
    // none were given.
    CXTPMarkupDependencyProperty* GetTriggerProperty() const;
    CXTPMarkupObject* GetTriggerValue() const;
    CXTPMarkupSetterColection* GetSetters() const;

    // Resolves the trigger's own property and value, then each setter, against
    // the style's target type. Raises CXTPMarkupBuilderException as a setter does.
    void Resolve(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupType* pTargetType);
};

class CXTPMarkupTriggerCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CXTPMarkupTriggerCollection)
public:
    CXTPMarkupTriggerCollection();

    CXTPMarkupTrigger* GetTrigger(int nIndex) const; // borrowed
};
