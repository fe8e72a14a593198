#include "markup/model/DependencyProperty.h"

#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <cassert>
#include <cwchar>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace
{
// Records by (name, owner type). Built on first use and destroyed at exit;
// holds one reference per record and one per map entry, so a record whose
// entry was replaced still lives for the class that keeps a pointer to it.
class CPropertyRegistry
{
public:
    static CPropertyRegistry& Instance()
    {
        static CPropertyRegistry s_registry;
        return s_registry;
    }

    ~CPropertyRegistry()
    {
        for (auto& entry : m_map)
            entry.second->Release();
        for (CXTPMarkupDependencyProperty* pProperty : m_records)
            pProperty->Release();
    }

    void AddRecord(CXTPMarkupDependencyProperty* pProperty) { m_records.push_back(pProperty); }

    void Enter(CXTPMarkupDependencyProperty* pProperty, const CXTPMarkupType* pOwner)
    {
        pProperty->AddRef();
        auto result = m_map.emplace(Key{pProperty->GetName(), pOwner}, pProperty);
        if (!result.second)
        {
            // The key keeps viewing the old record's name, which lives on in
            // the record list.
            CXTPMarkupDependencyProperty* pOld = std::exchange(result.first->second, pProperty);
            pOld->Release();
        }
    }

    CXTPMarkupDependencyProperty* Find(std::wstring_view name, const CXTPMarkupType* pOwner) const
    {
        auto it = m_map.find(Key{name, pOwner});
        return it == m_map.end() ? nullptr : it->second;
    }

    int m_nPropertyCount = 0;

private:
    struct Key
    {
        std::wstring_view name;
        const CXTPMarkupType* pOwner;
        bool operator==(const Key& other) const { return pOwner == other.pOwner && name == other.name; }
    };
    struct KeyHash
    {
        size_t operator()(const Key& key) const
        {
            return std::hash<std::wstring_view>()(key.name) ^ (reinterpret_cast<size_t>(key.pOwner) >> 4);
        }
    };

    std::unordered_map<Key, CXTPMarkupDependencyProperty*, KeyHash> m_map;
    std::vector<CXTPMarkupDependencyProperty*> m_records;
};
} // namespace

CXTPMarkupPropertyOptions::CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue, DWORD nFlags)
    : CXTPMarkupPropertyOptions(pDefaultValue, nullptr, nullptr, nFlags)
{
}

CXTPMarkupPropertyOptions::CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue,
                                                     PFNCONVERTPROPERTYVALUE pfnConvertFrom, DWORD nFlags)
    : CXTPMarkupPropertyOptions(pDefaultValue, pfnConvertFrom, nullptr, nFlags)
{
}

CXTPMarkupPropertyOptions::CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue,
                                                     PFNPROPERTYCHANGED pfnPropertyChanged, DWORD nFlags)
    : CXTPMarkupPropertyOptions(pDefaultValue, nullptr, pfnPropertyChanged, nFlags)
{
}

CXTPMarkupPropertyOptions::CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue,
                                                     PFNCONVERTPROPERTYVALUE pfnConvertFrom,
                                                     PFNPROPERTYCHANGED pfnPropertyChanged, DWORD nFlags)
    : m_pDefaultValue(pDefaultValue), m_pfnConvertFrom(pfnConvertFrom), m_nFlags(nFlags),
      m_pfnPropertyChanged(pfnPropertyChanged)
{
}

CXTPMarkupPropertyOptions::~CXTPMarkupPropertyOptions()
{
    if (m_pDefaultValue)
        m_pDefaultValue->Release();
}

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupDependencyProperty, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupRoutedEvent, CXTPMarkupDependencyProperty)

CXTPMarkupDependencyProperty::CXTPMarkupDependencyProperty()
    : m_lpszName(nullptr), m_pPropertyType(nullptr), m_pOwnerType(nullptr), m_pOptions(nullptr), m_bAttached(FALSE),
      m_nIndex(-1)
{
}

CXTPMarkupDependencyProperty::~CXTPMarkupDependencyProperty()
{
    delete m_pOptions;
}

BOOL CXTPMarkupDependencyProperty::IsEvent() const
{
    return FALSE;
}

CXTPMarkupRoutedEvent::CXTPMarkupRoutedEvent() {}

BOOL CXTPMarkupRoutedEvent::IsEvent() const
{
    return TRUE;
}

CXTPMarkupDependencyProperty*
CXTPMarkupDependencyProperty::RegisterCommon(CXTPMarkupDependencyProperty* pProperty, LPCWSTR lpszName,
                                             CXTPMarkupType* pPropertyType, CXTPMarkupType* pOwnerType,
                                             CXTPMarkupPropertyOptions* pOptions, BOOL bAttached)
{
    assert(lpszName && pOwnerType && "a property is registered with a name and an owner class");
    CPropertyRegistry& registry = CPropertyRegistry::Instance();
    pProperty->MarkPermanent();
    pProperty->m_lpszName = lpszName;
    pProperty->m_pPropertyType = pPropertyType;
    pProperty->m_pOwnerType = pOwnerType;
    pProperty->m_pOptions = pOptions;
    pProperty->m_bAttached = bAttached;
    pProperty->m_nIndex = pProperty->IsEvent() ? -1 : registry.m_nPropertyCount++;
    // A default lives as long as its record, that is, until exit.
    if (pOptions && pOptions->m_pDefaultValue)
        pOptions->m_pDefaultValue->MarkPermanent();

    registry.AddRecord(pProperty);
    registry.Enter(pProperty, pOwnerType);
    return pProperty;
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::Register(LPCWSTR lpszName, CXTPMarkupType* pPropertyType,
                                                                     CXTPMarkupType* pOwnerType,
                                                                     CXTPMarkupPropertyOptions* pOptions)
{
    return RegisterCommon(new CXTPMarkupDependencyProperty(), lpszName, pPropertyType, pOwnerType, pOptions, FALSE);
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::RegisterAttached(LPCWSTR lpszName,
                                                                             CXTPMarkupType* pPropertyType,
                                                                             CXTPMarkupType* pOwnerType,
                                                                             CXTPMarkupPropertyOptions* pOptions)
{
    return RegisterCommon(new CXTPMarkupDependencyProperty(), lpszName, pPropertyType, pOwnerType, pOptions, TRUE);
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::RegisterEvent(LPCWSTR lpszName, DWORD nEventFlags,
                                                                          CXTPMarkupType* pOwnerType)
{
    CXTPMarkupPropertyOptions* pOptions = nEventFlags ? new CXTPMarkupPropertyOptions(nullptr, nEventFlags) : nullptr;
    return RegisterCommon(new CXTPMarkupRoutedEvent(), lpszName, MARKUP_TYPE(CXTPMarkupString), pOwnerType, pOptions,
                          FALSE);
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::AddOwner(CXTPMarkupType* pNewOwner)
{
    CPropertyRegistry::Instance().Enter(this, pNewOwner);
    return this;
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::FindProperty(const CXTPMarkupType* pType, LPCWSTR lpszName)
{
    if (!lpszName)
        return nullptr;
    const CPropertyRegistry& registry = CPropertyRegistry::Instance();
    std::wstring_view name(lpszName);
    for (; pType; pType = pType->GetBaseType())
    {
        if (CXTPMarkupDependencyProperty* pProperty = registry.Find(name, pType))
            return pProperty;
    }
    return nullptr;
}

CXTPMarkupDependencyProperty* CXTPMarkupDependencyProperty::FindMarkupProperty(const CXTPMarkupType* pType,
                                                                               LPCWSTR lpszName)
{
    if (!lpszName)
        return nullptr;
    const WCHAR* pDot = wcschr(lpszName, L'.');
    if (!pDot)
        return FindProperty(pType, lpszName);
    std::wstring strTag(lpszName, pDot - lpszName);
    return FindProperty(CXTPMarkupType::FindType(strTag.c_str()), pDot + 1);
}

int CXTPMarkupDependencyProperty::GetPropertyCount()
{
    return CPropertyRegistry::Instance().m_nPropertyCount;
}
