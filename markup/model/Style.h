// A style: property values for elements of a target type, an optional base
// style, triggers and resources of its own.
#pragma once

#include "markup/model/Setter.h"
#include "markup/model/Trigger.h"

#include <vector>

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

    // Counts the styles based on each style.
    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override;

    // The builder's resource search: the style's own resources only.
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override;

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

    // This style, then its base, its base's base and so on, borrowed; a chain
    // that loops (styles built in code) ends before the first style it
    // meets again. Linear in the length of the chain.
    void GetBasedOnChain(std::vector<CXTPMarkupStyle*>& chain) const;

protected:
    ~CXTPMarkupStyle() override;

private:
    BOOL IsBasedOnChainThrough(const CXTPMarkupStyle* pStyle) const;
    // Seals this style alone, over its base's sealed values when it has them.
    void SealOverBase();

    CXTPMarkupSetterColection* m_pSetters;
    BOOL m_bSealed;
    CXTPMarkupPropertyStore* m_pSealedValues;
    BOOL m_bSealing;
    // Set only during one walk of a based-on chain.
    BOOL m_bListed;
    // How many styles have this one as their base.
    int m_nDerivedStyles;
};
