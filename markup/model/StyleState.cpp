#include "markup/model/StyleState.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/Style.h"
#include "markup/model/Type.h"

#include <vector>

namespace
{
// Properties whose trigger value changed during one evaluation, each with the
// trigger value it had before (held), in the order they first changed.
class CChangedValues
{
public:
    CChangedValues() = default;
    CChangedValues(const CChangedValues&) = delete;
    CChangedValues& operator=(const CChangedValues&) = delete;
    ~CChangedValues()
    {
        for (Entry& entry : m_entries)
        {
            if (entry.pOldValue)
                entry.pOldValue->Release();
        }
    }

    void Record(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue)
    {
        for (const Entry& entry : m_entries)
        {
            if (entry.pProperty == pProperty)
                return;
        }
        if (pOldValue)
            pOldValue->AddRef();
        m_entries.push_back({pProperty, pOldValue});
    }

    struct Entry
    {
        CXTPMarkupDependencyProperty* pProperty;
        CXTPMarkupObject* pOldValue;
    };
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

// A trigger matches when its value equals the property's; a trigger without
// a value (never resolved) matches nothing.
BOOL Matches(const CXTPMarkupTrigger* pTrigger, const CXTPMarkupObject* pValue)
{
    const CXTPMarkupObject* pTriggerValue = pTrigger->GetTriggerValue();
    return pTriggerValue && pTriggerValue->IsEqual(pValue);
}

// pStyle and its bases, the deepest base first. A chain that loops (styles
// built in code) ends where it meets a style already listed.
std::vector<CXTPMarkupStyle*> BasedOnChain(CXTPMarkupStyle* pStyle)
{
    std::vector<CXTPMarkupStyle*> chain;
    if (pStyle)
        pStyle->GetBasedOnChain(chain);
    return std::vector<CXTPMarkupStyle*>(chain.rbegin(), chain.rend());
}
} // namespace

CXTPMarkupStyleState::CXTPMarkupStyleState()
    : m_pActiveTriggers(nullptr), m_pTriggerValues(nullptr), m_pCurrentStyle(nullptr), m_nUpdateDepth(0)
{
}

CXTPMarkupStyleState::~CXTPMarkupStyleState()
{
    if (m_pActiveTriggers)
        m_pActiveTriggers->Release();
    if (m_pTriggerValues)
        m_pTriggerValues->Release();
    if (m_pCurrentStyle)
        m_pCurrentStyle->Release();
}

void CXTPMarkupStyleState::SetCurrentStyle(CXTPMarkupStyle* pStyle)
{
    // The element holds its style: a dictionary that lets go of it must not
    // leave the element reading freed values.
    if (pStyle)
    {
        pStyle->Seal();
        pStyle->AddRef();
    }
    CXTPMarkupStyle* pOld = m_pCurrentStyle;
    m_pCurrentStyle = pStyle;
    if (pOld)
        pOld->Release();
}

CXTPMarkupObject* CXTPMarkupStyleState::GetTriggerValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    return m_pTriggerValues ? m_pTriggerValues->Lookup(pProperty) : nullptr;
}

CXTPMarkupObject* CXTPMarkupStyleState::LookupValue(const CXTPMarkupDependencyProperty* pProperty,
                                                    const CXTPMarkupType* pElementType) const
{
    if (CXTPMarkupObject* pValue = GetTriggerValue(pProperty))
        return pValue;
    if (m_pCurrentStyle)
    {
        if (CXTPMarkupObject* pValue = m_pCurrentStyle->GetStyleValue(pProperty))
            return pValue;
    }
    if (const CXTPMarkupStyle* pTypeStyle =
            pElementType ? MarkupCast<CXTPMarkupStyle>(pElementType->GetDefaultStyle()) : nullptr)
        return pTypeStyle->GetStyleValue(pProperty);
    return nullptr;
}

void CXTPMarkupStyleState::ApplyStyle(CXTPMarkupObject* pElement)
{
    if (!m_pCurrentStyle)
    {
        // The type record is the key a style without x:Key is stored under.
        CXTPMarkupObject* pFound = CXTPMarkupResourceDictionary::FindResource(pElement, pElement->GetType());
        if (CXTPMarkupStyle* pStyle = MarkupCast<CXTPMarkupStyle>(pFound))
            SetCurrentStyle(pStyle);
        if (!m_pCurrentStyle)
            return;
    }
    UpdateTriggers(pElement, nullptr, nullptr);
}

void CXTPMarkupStyleState::UpdateTriggers(CXTPMarkupObject* pElement, CXTPMarkupDependencyProperty* pProperty,
                                          CXTPMarkupObject* pNewValue)
{
    if (m_nUpdateDepth >= kMaxTriggerDepth)
        return;
    struct DepthGuard
    {
        int& nDepth;
        explicit DepthGuard(int& n) : nDepth(n) { ++nDepth; }
        ~DepthGuard() { --nDepth; }
    } depth(m_nUpdateDepth);

    CChangedValues changed;
    BOOL bChanged = FALSE;

    // Triggers on the changed property that no longer match take their
    // values back.
    if (pProperty && m_pActiveTriggers)
    {
        for (int i = m_pActiveTriggers->GetCount() - 1; i >= 0; --i)
        {
            CXTPMarkupTrigger* pTrigger = m_pActiveTriggers->GetTrigger(i);
            if (pTrigger->GetTriggerProperty() != pProperty)
                continue;
            if (Matches(pTrigger, pNewValue))
                continue;
            if (const CXTPMarkupSetterColection* pSetters = pTrigger->GetSetters())
            {
                for (int j = 0; j < pSetters->GetCount(); ++j)
                {
                    CXTPMarkupDependencyProperty* pSetterProperty = pSetters->GetSetter(j)->GetSetterProperty();
                    if (!pSetterProperty)
                        continue;
                    changed.Record(pSetterProperty, GetTriggerValue(pSetterProperty));
                    if (m_pTriggerValues)
                        m_pTriggerValues->Set(pSetterProperty, nullptr);
                }
            }
            m_pActiveTriggers->RemoveAt(i);
            bChanged = TRUE;
        }
    }

    // Triggers that match now switch on: the explicit style's, or else the
    // built-in style of the element's type; base styles' before their
    // derived styles', each style's last to first.
    CXTPMarkupStyle* pStyle = m_pCurrentStyle;
    if (!pStyle)
        pStyle = MarkupCast<CXTPMarkupStyle>(pElement->GetType()->GetDefaultStyle());
    CXTPMarkupPtr<CXTPMarkupStyle> holdStyle = CXTPMarkupPtr<CXTPMarkupStyle>::AddRefOf(pStyle);
    for (CXTPMarkupStyle* pChainStyle : BasedOnChain(pStyle))
    {
        const CXTPMarkupTriggerCollection* pTriggers = pChainStyle->GetTriggers();
        for (int i = pTriggers ? pTriggers->GetCount() - 1 : -1; i >= 0; --i)
        {
            CXTPMarkupTrigger* pTrigger = pTriggers->GetTrigger(i);
            CXTPMarkupDependencyProperty* pTriggerProperty = pTrigger->GetTriggerProperty();
            if (!pTriggerProperty || (pProperty && pTriggerProperty != pProperty))
                continue;
            const CXTPMarkupObject* pCompared = pProperty ? pNewValue : pElement->GetValue(pTriggerProperty);
            if (!Matches(pTrigger, pCompared))
                continue;
            if (!m_pActiveTriggers)
            {
                m_pActiveTriggers = new CXTPMarkupTriggerCollection();
                m_pActiveTriggers->SetParentItems(FALSE);
            }
            // A trigger that matches again while active is already applied.
            if (m_pActiveTriggers->IndexOf(pTrigger) >= 0)
                continue;
            pTrigger->AddRef();
            m_pActiveTriggers->Add(pTrigger);
            bChanged = TRUE;
        }
    }

    // Recompute the trigger values from the active triggers in order, so a
    // later trigger overrides an earlier one.
    if (bChanged)
    {
        if (!m_pTriggerValues)
            m_pTriggerValues = new CXTPMarkupPropertyStore();
        for (int i = 0; m_pActiveTriggers && i < m_pActiveTriggers->GetCount(); ++i)
        {
            const CXTPMarkupSetterColection* pSetters = m_pActiveTriggers->GetTrigger(i)->GetSetters();
            for (int j = 0; pSetters && j < pSetters->GetCount(); ++j)
            {
                const CXTPMarkupSetter* pSetter = pSetters->GetSetter(j);
                CXTPMarkupDependencyProperty* pSetterProperty = pSetter->GetSetterProperty();
                CXTPMarkupObject* pValue = pSetter->GetSetterValue();
                CXTPMarkupObject* pStored = m_pTriggerValues->Lookup(pSetterProperty);
                if (!pSetterProperty || !pValue || pValue->IsEqual(pStored))
                    continue;
                changed.Record(pSetterProperty, pStored);
                pValue->AddRef();
                m_pTriggerValues->Set(pSetterProperty, pValue);
            }
        }
    }

    // Announce the trigger values that changed. The values are the trigger
    // layer's, not the effective ones: a local value may still hide them.
    for (const CChangedValues::Entry& entry : changed.Entries())
    {
        CXTPMarkupPtr<CXTPMarkupObject> newValue =
            CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(GetTriggerValue(entry.pProperty));
        if (!entry.pOldValue && !newValue)
            continue;
        pElement->OnPropertyChanged(entry.pProperty, entry.pOldValue, newValue.Get());
        if (entry.pProperty->GetFlags() & CXTPMarkupPropertyOptions::Inherits)
            pElement->PropagateInheritedChange(entry.pProperty, entry.pOldValue, newValue.Get());
    }
}
