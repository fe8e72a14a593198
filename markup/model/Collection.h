// Ordered list of markup objects of one element type.
#pragma once

#include "markup/model/Object.h"

// A typed collection is a subclass that only names its element type:
//
//     class CXTPMarkupSetterColection : public CXTPMarkupCollection
//     {
//         DECLARE_MARKUPCLASS(CXTPMarkupSetterColection)
//     public:
//         CXTPMarkupSetterColection() : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupSetter)) {}
//     };
class CXTPMarkupCollection : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupCollection)
public:
    // Items must be of pElementType or derive from it; without an element type
    // the collection accepts nothing.
    explicit CXTPMarkupCollection(CXTPMarkupType* pElementType = nullptr);

    // Takes over the reference to pItem. A null item or one of the wrong type
    // is released and not added. Returns the new item's index or -1.
    int Add(CXTPMarkupObject* pItem);
    void RemoveAt(int nIndex);
    void RemoveAll();

    int GetCount() const { return m_nCount; }
    CXTPMarkupObject* GetItem(int nIndex) const; // borrowed; null outside 0..count-1
    int IndexOf(const CXTPMarkupObject* pItem) const;

    CXTPMarkupType* GetElementType() const { return m_pElementType; }

    // Growth of the item array when full: a fixed step, or 0 for count/8
    // clamped to 4..1024.
    void SetGrowthStep(int nStep) { m_nGrowthStep = nStep; }

    // Whether items get the collection as logical parent (the default).
    void SetParentItems(BOOL bParentItems) { m_bParentItems = bParentItems; }

    // Content of a collection element: an item of the element type, else the
    // builder error naming both types.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

protected:
    ~CXTPMarkupCollection() override;

    // Called after an item was appended.
    virtual void OnItemAdded(CXTPMarkupObject* pItem, int nIndex);

    CXTPMarkupType* m_pElementType;

private:
    void Unparent(CXTPMarkupObject* pItem);

    CXTPMarkupObject** m_pItems;
    int m_nCount;
    int m_nCapacity;
    int m_nGrowthStep;
    BOOL m_bParentItems;
};
