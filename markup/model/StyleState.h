// What styles and triggers have done to one element: its current style, the
// triggers active on it and the values they set. Every input element holds
// one; the element forwards its own-value lookup, the style application after
// a load and its property changes here.
#pragma once

#include <windows.h>

class CXTPMarkupObject;
class CXTPMarkupDependencyProperty;
class CXTPMarkupPropertyStore;
class CXTPMarkupStyle;
class CXTPMarkupTriggerCollection;
class CXTPMarkupType;

class CXTPMarkupStyleState
{
public:
    enum
    {
        // Triggers whose setters change each other's properties re-evaluate
        // each other through the element's change notifications; past this
        // depth on one element the evaluation stops instead of recursing on.
        kMaxTriggerDepth = 8,
    };

    CXTPMarkupStyleState();
    CXTPMarkupStyleState(const CXTPMarkupStyleState&) = delete;
    CXTPMarkupStyleState& operator=(const CXTPMarkupStyleState&) = delete;
    ~CXTPMarkupStyleState();

    // Seals pStyle and keeps a reference to it; null clears the style. Values
    // switched on by the previous style's triggers stay until their trigger
    // property changes.
    void SetCurrentStyle(CXTPMarkupStyle* pStyle);
    CXTPMarkupStyle* GetCurrentStyle() const { return m_pCurrentStyle; }

    // The value styles and triggers give a property, after the element's local
    // value: a trigger value, then the current style's, then the built-in
    // style of the element's type. Borrowed; null when none has one.
    CXTPMarkupObject* LookupValue(const CXTPMarkupDependencyProperty* pProperty,
                                  const CXTPMarkupType* pElementType) const;

    // After a load: an element without a style takes the one its resources
    // hold under its type, then every trigger of its style is evaluated.
    void ApplyStyle(CXTPMarkupObject* pElement);

    // A property of pElement changed to pNewValue: triggers on it that no
    // longer match switch off and those that now match switch on. With no
    // property every trigger is compared with the element's current value.
    // Changed trigger values are announced through pElement's
    // OnPropertyChanged (and to its descendants for inheriting properties).
    // The caller keeps pElement alive for the call.
    void UpdateTriggers(CXTPMarkupObject* pElement, CXTPMarkupDependencyProperty* pProperty,
                        CXTPMarkupObject* pNewValue);

    CXTPMarkupTriggerCollection* GetActiveTriggers() const { return m_pActiveTriggers; }
    CXTPMarkupObject* GetTriggerValue(const CXTPMarkupDependencyProperty* pProperty) const;

private:
    CXTPMarkupTriggerCollection* m_pActiveTriggers; // created on first use; items not parented
    CXTPMarkupPropertyStore* m_pTriggerValues;      // created on first use; no owner
    CXTPMarkupStyle* m_pCurrentStyle;               // sealed, referenced
    int m_nUpdateDepth;
};
