#include "markup/model/Type.h"

#include "markup/model/ModelTypes.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"

#include <vector>

namespace
{
const int kTagBuckets = 17;

UINT HashTag(LPCWSTR lpszTag)
{
    UINT nHash = 0;
    for (; *lpszTag; ++lpszTag)
        nHash = nHash * 33 + *lpszTag;
    return nHash;
}
} // namespace

// The registry is built on first use rather than by a static constructor, so a
// class may register from anywhere, at any time, without caring about the
// order in which translation units start up. It owns one reference to every
// record and gives them back at process exit.
class CXTPMarkupTypeRegistry
{
public:
    static CXTPMarkupTypeRegistry& Instance()
    {
        static CXTPMarkupTypeRegistry s_registry;
        return s_registry;
    }

    ~CXTPMarkupTypeRegistry()
    {
        while (m_pFirstType)
        {
            CXTPMarkupType* pType = m_pFirstType;
            m_pFirstType = pType->m_pNextType;
            pType->Release();
        }
    }

    void Add(CXTPMarkupType* pType)
    {
        pType->m_pNextType = m_pFirstType;
        m_pFirstType = pType;

        LPCWSTR lpszTag = pType->m_lpszTag;
        if (!lpszTag || !*lpszTag)
            return;
        std::vector<Entry>& bucket = m_buckets[HashTag(lpszTag) % kTagBuckets];
        for (Entry& entry : bucket)
        {
            if (wcscmp(entry.lpszTag, lpszTag) == 0)
            {
                entry.pType = pType;
                return;
            }
        }
        bucket.push_back({lpszTag, pType});
    }

    CXTPMarkupType* Find(LPCWSTR lpszTag) const
    {
        for (const Entry& entry : m_buckets[HashTag(lpszTag) % kTagBuckets])
        {
            if (wcscmp(entry.lpszTag, lpszTag) == 0)
                return entry.pType;
        }
        return nullptr;
    }

    CXTPMarkupType* m_pFirstType = nullptr;
    BOOL m_bTypesInitialized = FALSE;

private:
    struct Entry
    {
        LPCWSTR lpszTag;
        CXTPMarkupType* pType;
    };
    std::vector<Entry> m_buckets[kTagBuckets];
};

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupType, CXTPMarkupObject)

CXTPMarkupType::CXTPMarkupType() : CXTPMarkupType(nullptr, L"", nullptr, nullptr, nullptr) {}

CXTPMarkupType::CXTPMarkupType(LPCWSTR lpszTag, LPCWSTR lpszClassName, PFNMARKUPFACTORY pfnFactory,
                               PFNMARKUPTYPEGETTER pfnGetBaseType, PFNMARKUPSTATICINIT pfnStaticInit)
    : m_lpszTag(lpszTag), m_lpszClassName(lpszClassName), m_pfnFactory(pfnFactory), m_pfnGetBaseType(pfnGetBaseType),
      m_pfnStaticInit(pfnStaticInit), m_pNextType(nullptr), m_bInitialized(FALSE), m_pDefaultStyle(nullptr),
      m_pBaseType(nullptr)
{
}

CXTPMarkupType::~CXTPMarkupType()
{
    if (m_pDefaultStyle)
        m_pDefaultStyle->Release();
}

CXTPMarkupType* CXTPMarkupType::RegisterType(LPCWSTR lpszTag, LPCWSTR lpszClassName, PFNMARKUPFACTORY pfnFactory,
                                             PFNMARKUPTYPEGETTER pfnGetBaseType, PFNMARKUPSTATICINIT pfnStaticInit)
{
    CXTPMarkupType* pType = new CXTPMarkupType(lpszTag, lpszClassName, pfnFactory, pfnGetBaseType, pfnStaticInit);
    pType->MarkPermanent();
    Enter(pType);
    return pType;
}

CXTPMarkupType* CXTPMarkupType::Register(CXTPMarkupTypeInfo& info)
{
    if (info.pType)
        return info.pType;

    // The record must be known before the class's initialiser can run, since
    // the initialiser names its own class as the owner of its properties.
    CXTPMarkupType* pType =
        new CXTPMarkupType(info.lpszTag, info.lpszClassName, info.pfnFactory, info.pfnGetBaseType, info.pfnStaticInit);
    pType->MarkPermanent();
    info.pType = pType;
    Enter(pType);
    return pType;
}

void CXTPMarkupType::Enter(CXTPMarkupType* pType)
{
    // Base classes join the list before the classes derived from them.
    pType->GetBaseType();
    CXTPMarkupTypeRegistry& registry = CXTPMarkupTypeRegistry::Instance();
    registry.Add(pType);
    if (registry.m_bTypesInitialized)
        pType->EnsureInitialized();
}

void CXTPMarkupType::InitializeTypes()
{
    CXTPMarkupTypeRegistry& registry = CXTPMarkupTypeRegistry::Instance();
    registry.m_bTypesInitialized = TRUE;
    RegisterMarkupModelTypes();
    for (CXTPMarkupType* pType = registry.m_pFirstType; pType; pType = pType->m_pNextType)
        pType->EnsureInitialized();
}

void CXTPMarkupType::EnsureInitialized()
{
    if (m_bInitialized)
        return;
    CXTPMarkupType* pBase = GetBaseType();
    if (pBase)
        pBase->EnsureInitialized();

    // Set first, so an initialiser that asks for its own type does not recurse.
    m_bInitialized = TRUE;

    // A class without an initialiser of its own inherits its base's through
    // IMPLEMENT_MARKUPCLASS; that one has already run for the base.
    if (m_pfnStaticInit && !(pBase && pBase->m_pfnStaticInit == m_pfnStaticInit))
        m_pfnStaticInit();
}

CXTPMarkupType* CXTPMarkupType::FindType(LPCWSTR lpszTag)
{
    if (!lpszTag)
        return nullptr;
    return CXTPMarkupTypeRegistry::Instance().Find(lpszTag);
}

CXTPMarkupType* CXTPMarkupType::GetFirstType()
{
    return CXTPMarkupTypeRegistry::Instance().m_pFirstType;
}

CXTPMarkupObject* CXTPMarkupType::CreateObject(CXTPMarkupElementContext* pContext, CXTPMarkupType* pType)
{
    if (!pType || !pType->m_pfnFactory)
        return nullptr;
    CXTPMarkupObject* pObject = pType->m_pfnFactory();
    if (pObject && pContext)
        pObject->OnCreatedForContext(pContext);
    return pObject;
}

CXTPMarkupType* CXTPMarkupType::GetBaseType() const
{
    if (!m_pBaseType && m_pfnGetBaseType)
        m_pBaseType = m_pfnGetBaseType();
    return m_pBaseType;
}

BOOL CXTPMarkupType::IsDerivedFrom(const CXTPMarkupType* pType, const CXTPMarkupType* pBase)
{
    if (!pBase)
        return FALSE;
    for (; pType; pType = pType->GetBaseType())
    {
        if (pType == pBase)
            return TRUE;
    }
    return FALSE;
}

void CXTPMarkupType::SetDefaultStyle(CXTPMarkupType* pType, CXTPMarkupObject* pStyle)
{
    if (!pType)
    {
        if (pStyle)
            pStyle->Release();
        return;
    }
    if (CXTPMarkupStyle* pSealable = MarkupCast<CXTPMarkupStyle>(pStyle))
        pSealable->Seal();
    CXTPMarkupObject* pOld = pType->m_pDefaultStyle;
    pType->m_pDefaultStyle = pStyle;
    if (pOld)
        pOld->Release();
}

CXTPMarkupObject* CXTPMarkupType::ParseValue(CXTPMarkupObject* pValue)
{
    CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pValue);
    if (!pString)
        return nullptr;
    CXTPMarkupType* pType = FindType(pString->GetText());
    if (pType)
        pType->AddRef();
    return pType;
}
