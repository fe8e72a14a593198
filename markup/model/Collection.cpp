#include "markup/model/Collection.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupCollection, CXTPMarkupObject)

CXTPMarkupCollection::CXTPMarkupCollection(CXTPMarkupType* pElementType)
    : m_pElementType(pElementType), m_pItems(nullptr), m_nCount(0), m_nCapacity(0), m_nGrowthStep(0),
      m_bParentItems(TRUE)
{
}

CXTPMarkupCollection::~CXTPMarkupCollection()
{
    RemoveAll();
}

void CXTPMarkupCollection::Unparent(CXTPMarkupObject* pItem)
{
    if (m_bParentItems && pItem->GetLogicalParent() == this)
        pItem->SetLogicalParent(nullptr);
}

int CXTPMarkupCollection::Add(CXTPMarkupObject* pItem)
{
    if (!pItem)
        return -1;
    if (!pItem->IsKindOf(m_pElementType))
    {
        pItem->Release();
        return -1;
    }
    if (m_bParentItems)
        pItem->SetLogicalParent(this);

    if (m_nCount == m_nCapacity)
    {
        int nGrow = m_nGrowthStep > 0 ? m_nGrowthStep : std::clamp(m_nCount / 8, 4, 1024);
        int nCapacity = m_nCapacity + nGrow;
        CXTPMarkupObject** pItems = new CXTPMarkupObject*[nCapacity];
        if (m_nCount)
            memcpy(pItems, m_pItems, m_nCount * sizeof(CXTPMarkupObject*));
        delete[] m_pItems;
        m_pItems = pItems;
        m_nCapacity = nCapacity;
    }
    int nIndex = m_nCount++;
    m_pItems[nIndex] = pItem;
    OnItemAdded(pItem, nIndex);
    return nIndex;
}

void CXTPMarkupCollection::OnItemAdded(CXTPMarkupObject* /*pItem*/, int /*nIndex*/) {}

void CXTPMarkupCollection::RemoveAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return;
    CXTPMarkupObject* pItem = m_pItems[nIndex];
    memmove(m_pItems + nIndex, m_pItems + nIndex + 1, (m_nCount - nIndex - 1) * sizeof(CXTPMarkupObject*));
    --m_nCount;
    Unparent(pItem);
    pItem->Release();
}

void CXTPMarkupCollection::RemoveAll()
{
    // Detach the array first: releasing an item may run code that looks at
    // this collection again.
    CXTPMarkupObject** pItems = m_pItems;
    int nCount = m_nCount;
    m_pItems = nullptr;
    m_nCount = m_nCapacity = 0;
    for (int i = 0; i < nCount; ++i)
    {
        Unparent(pItems[i]);
        pItems[i]->Release();
    }
    delete[] pItems;
}

CXTPMarkupObject* CXTPMarkupCollection::GetItem(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nCount ? m_pItems[nIndex] : nullptr;
}

int CXTPMarkupCollection::IndexOf(const CXTPMarkupObject* pItem) const
{
    for (int i = 0; i < m_nCount; ++i)
    {
        if (m_pItems[i] == pItem)
            return i;
    }
    return -1;
}

void CXTPMarkupCollection::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (!pContent || !pContent->IsKindOf(m_pElementType))
    {
        throw CXTPMarkupBuilderException(
            "'%ls' object cannot be added to '%ls'. Object cannot be converted to type '%ls'",
            pContent ? pContent->GetType()->GetTypeName() : L"", GetType()->GetTypeName(),
            m_pElementType ? m_pElementType->GetTypeName() : L"");
    }
    Add(content.Detach());
}

BOOL CXTPMarkupCollection::HasContent() const
{
    return m_nCount > 0;
}

int CXTPMarkupCollection::GetLogicalChildCount() const
{
    return m_nCount;
}

CXTPMarkupObject* CXTPMarkupCollection::GetLogicalChild(int nIndex) const
{
    return GetItem(nIndex);
}
