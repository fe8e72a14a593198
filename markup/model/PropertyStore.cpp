#include "markup/model/PropertyStore.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupPropertyStore, CXTPMarkupObject)

CXTPMarkupPropertyStore::CXTPMarkupPropertyStore(CXTPMarkupObject* pOwner)
    : m_pValues(nullptr), m_nSize(CXTPMarkupDependencyProperty::GetPropertyCount()), m_pOwner(pOwner)
{
    if (m_nSize > 0)
        m_pValues = new CXTPMarkupObject*[m_nSize]();
}

CXTPMarkupPropertyStore::~CXTPMarkupPropertyStore()
{
    for (int i = 0; i < m_nSize; ++i)
    {
        if (m_pValues[i])
            Drop(m_pValues[i]);
    }
    delete[] m_pValues;
}

void CXTPMarkupPropertyStore::Drop(CXTPMarkupObject* pValue)
{
    // Shared values (true, small enumerations, ...) sit in many stores at once;
    // only the store that parented the value last may clear that link.
    if (m_pOwner && pValue->GetLogicalParent() == m_pOwner)
        pValue->SetLogicalParent(nullptr);
    pValue->Release();
}

BOOL CXTPMarkupPropertyStore::CanStore(const CXTPMarkupDependencyProperty* pProperty) const
{
    return pProperty && pProperty->GetIndex() >= 0 && pProperty->GetIndex() < m_nSize;
}

CXTPMarkupObject* CXTPMarkupPropertyStore::Lookup(const CXTPMarkupDependencyProperty* pProperty) const
{
    return CanStore(pProperty) ? m_pValues[pProperty->GetIndex()] : nullptr;
}

CXTPMarkupObject* CXTPMarkupPropertyStore::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nSize ? m_pValues[nIndex] : nullptr;
}

void CXTPMarkupPropertyStore::Set(const CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    SetAt(pProperty ? pProperty->GetIndex() : -1, pValue);
}

void CXTPMarkupPropertyStore::SetAt(int nIndex, CXTPMarkupObject* pValue)
{
    if (nIndex < 0 || nIndex >= m_nSize)
    {
        if (pValue)
            pValue->Release();
        return;
    }
    CXTPMarkupObject* pOld = m_pValues[nIndex];
    m_pValues[nIndex] = pValue;
    if (pValue && m_pOwner)
        pValue->SetLogicalParent(m_pOwner);
    if (pOld == pValue && pOld)
        pOld->Release(); // stored again: only the extra reference goes
    else if (pOld)
        Drop(pOld);
}
