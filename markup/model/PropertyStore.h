// Per-object property values, one slot per registered property index.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupPropertyStore : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupPropertyStore)
public:
    // Sized for every property registered so far. A store with an owner makes
    // the owner the logical parent of the values it holds; stores of styles
    // and triggers have none and leave parents alone.
    explicit CXTPMarkupPropertyStore(CXTPMarkupObject* pOwner = nullptr);

    CXTPMarkupObject* GetOwner() const { return m_pOwner; }
    int GetSize() const { return m_nSize; }

    // FALSE for events and for properties registered after the store was made.
    BOOL CanStore(const CXTPMarkupDependencyProperty* pProperty) const;

    // Borrowed; null when the slot is empty or the property has no slot here.
    CXTPMarkupObject* Lookup(const CXTPMarkupDependencyProperty* pProperty) const;
    CXTPMarkupObject* GetAt(int nIndex) const;

    // Take over the reference to pValue (null empties the slot) and release the
    // value it replaces. A value without a slot is released unstored.
    void Set(const CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);
    void SetAt(int nIndex, CXTPMarkupObject* pValue);

protected:
    ~CXTPMarkupPropertyStore() override;

private:
    void Drop(CXTPMarkupObject* pValue);

    CXTPMarkupObject** m_pValues;
    int m_nSize;
    CXTPMarkupObject* m_pOwner;
};
