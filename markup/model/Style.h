// A style: property values for elements of a target type, an optional base
// style, triggers and resources of its own.
#pragma once

#include "markup/model/Setter.h"
#include "markup/model/Trigger.h"

class CXTPMarkupPropertyStore;
class CXTPMarkupResourceDictionary;

class CXTPMarkupStyle : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupStyle)
public:
    CXTPMarkupStyle();

    static CXTPMarkupDependencyProperty* m_pResourcesProperty;  // "Resources", shared with input elements
    static CXTPMarkupDependencyProperty* m_pTargetTypeProperty; // "TargetType"
    static CXTPMarkupDependencyProperty* m_pBasedOnProperty;    // "BasedOn"
    static CXTPMarkupDependencyProperty* m_pTriggersProperty;   // "Triggers"
    static void RegisterMarkupProperties();

    // The "Style" property of input elements. Their class registers it; the
    // resource search reads it on objects of any class.
    static CXTPMarkupDependencyProperty* m_pElementStyleProperty;

    // Setters are the style's content; each is resolved against the target
    // type as it arrives. Anything else is refused.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;

    // Triggers are resolved before they are stored; a base style whose chain
    // leads back to this style is refused with a builder error.
    void ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                          CXTPMarkupObject* pValue) override;

    // A resolved setter added in code (built-in styles); takes over pValue.
    void AddSetter(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);

    // Flattens the base style's values and then the setters, in order, into
    // one store, and makes the style read-only. Idempotent. A base chain that
    // loops is cut where it meets a style already being sealed.
    void Seal();
    BOOL IsSealed() const { return m_bSealed; }

    // The sealed value for a property; null when not sealed or not set.
    CXTPMarkupObject* GetStyleValue(const CXTPMarkupDependencyProperty* pProperty) const;

    CXTPMarkupSetterColection* GetSetters() const { return m_pSetters; }
    CXTPMarkupType* GetTargetType() const;
    CXTPMarkupStyle* GetBasedOn() const;
    CXTPMarkupTriggerCollection* GetTriggers() const;
    CXTPMarkupResourceDictionary* GetResources() const;

protected:
    ~CXTPMarkupStyle() override;

private:
    BOOL IsBasedOnChainThrough(const CXTPMarkupStyle* pStyle) const;

    CXTPMarkupSetterColection* m_pSetters;
    BOOL m_bSealed;
    CXTPMarkupPropertyStore* m_pSealedValues;
    BOOL m_bSealing;
};
