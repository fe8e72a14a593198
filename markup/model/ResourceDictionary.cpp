#include "markup/model/ResourceDictionary.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Style.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupResourceDictionary, CXTPMarkupObject)

CXTPMarkupResourceDictionary::CXTPMarkupResourceDictionary() : m_nCount(0) {}

CXTPMarkupResourceDictionary::~CXTPMarkupResourceDictionary()
{
    for (std::vector<Entry>& bucket : m_buckets)
    {
        for (Entry& entry : bucket)
        {
            entry.pKey->Release();
            entry.pValue->Release();
        }
    }
}

void CXTPMarkupResourceDictionary::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    CXTPMarkupObject* pKey = pContent ? pContent->GetValue(m_pKeyProperty) : nullptr;
    if (!pKey)
    {
        if (CXTPMarkupStyle* pStyle = MarkupCast<CXTPMarkupStyle>(pContent))
            pKey = pStyle->GetTargetType();
    }
    if (!pKey)
        throw CXTPMarkupBuilderException(
            "Objects added to Dictionary must have Key attribute or some other type of associated Key");
    if (Lookup(pKey))
        throw CXTPMarkupBuilderException("Dictionary key is already used. Key attributes must be unique.");
    pKey->AddRef();
    Add(pKey, content.Detach());
}

BOOL CXTPMarkupResourceDictionary::Add(CXTPMarkupObject* pKey, CXTPMarkupObject* pValue)
{
    CXTPMarkupPtr<CXTPMarkupObject> key(pKey);
    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (!pKey || !pValue || Lookup(pKey))
        return FALSE;
    m_buckets[pKey->HashValue() % kBuckets].push_back({key.Detach(), value.Detach()});
    ++m_nCount;
    return TRUE;
}

CXTPMarkupObject* CXTPMarkupResourceDictionary::Lookup(const CXTPMarkupObject* pKey) const
{
    if (!pKey)
        return nullptr;
    for (const Entry& entry : m_buckets[pKey->HashValue() % kBuckets])
    {
        if (entry.pKey->IsEqual(pKey))
            return entry.pValue;
    }
    return nullptr;
}

CXTPMarkupObject* CXTPMarkupResourceDictionary::FindResource(const CXTPMarkupObject* pKey) const
{
    return Lookup(pKey);
}

CXTPMarkupObject* CXTPMarkupResourceDictionary::FindOwnResource(const CXTPMarkupObject* pObject,
                                                                const CXTPMarkupObject* pKey)
{
    const CXTPMarkupResourceDictionary* pResources =
        MarkupCast<CXTPMarkupResourceDictionary>(pObject->GetValue(CXTPMarkupStyle::m_pResourcesProperty));
    return pResources ? pResources->Lookup(pKey) : nullptr;
}

CXTPMarkupObject* CXTPMarkupResourceDictionary::FindResource(const CXTPMarkupObject* pObject,
                                                             const CXTPMarkupObject* pKey)
{
    if (!pObject || !pKey)
        return nullptr;
    if (const CXTPMarkupResourceDictionary* pDictionary = MarkupCast<CXTPMarkupResourceDictionary>(pObject))
        return pDictionary->Lookup(pKey);

    for (const CXTPMarkupObject* pAncestor = pObject; pAncestor; pAncestor = pAncestor->GetLogicalParent())
    {
        if (CXTPMarkupObject* pResource = FindOwnResource(pAncestor, pKey))
            return pResource;
        if (const CXTPMarkupStyle* pStyle =
                MarkupCast<CXTPMarkupStyle>(pAncestor->GetValue(CXTPMarkupStyle::m_pElementStyleProperty)))
        {
            if (CXTPMarkupObject* pResource = FindOwnResource(pStyle, pKey))
                return pResource;
        }
        if (MarkupCast<CXTPMarkupStyle>(pAncestor))
            return nullptr;
    }
    return nullptr;
}
