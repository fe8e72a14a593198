#include "markup/model/Object.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <cwchar>
#include <vector>

namespace
{
volatile LONG g_nLiveObjects = 0;
CXTPMarkupObject::PFNLIFETIMEHOOK g_pfnLifetimeHook = nullptr;

// A final release releases what the object holds, and so on down: a chain of
// thousands of styles, each holding the one before, would nest that deep and
// overflow the stack. Past this depth objects whose count reaches zero wait
// in a list that the outermost final release works through.
constexpr int kMaxNestedFinalReleases = 64;
thread_local int t_nFinalReleaseDepth = 0;
thread_local std::vector<CXTPMarkupObject*>* t_pDeferredFinalReleases = nullptr;
} // namespace

CXTPMarkupDependencyProperty* CXTPMarkupObject::m_pNameProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupObject::m_pKeyProperty = nullptr;

CXTPMarkupType* CXTPMarkupObject::GetMarkupType()
{
    static CXTPMarkupTypeInfo s_info = {nullptr,
                                        L"CXTPMarkupObject",
                                        CXTPMarkupFactory<CXTPMarkupObject>::kCreate,
                                        nullptr,
                                        &CXTPMarkupObject::RegisterMarkupProperties,
                                        nullptr};
    return CXTPMarkupType::Register(s_info);
}

void CXTPMarkupObject::RegisterMarkupProperties()
{
    m_pNameProperty =
        CXTPMarkupDependencyProperty::Register(L"x:Name", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CXTPMarkupObject));
    m_pKeyProperty =
        CXTPMarkupDependencyProperty::Register(L"x:Key", MARKUP_TYPE(CXTPMarkupObject), MARKUP_TYPE(CXTPMarkupObject));
}

CXTPMarkupObject::CXTPMarkupObject()
    : m_pLogicalParent(nullptr), m_pProperties(nullptr), m_lpszMarkupTag(nullptr), m_dwRef(1), m_bPermanent(FALSE)
{
    InterlockedIncrement(&g_nLiveObjects);
    if (g_pfnLifetimeHook)
        g_pfnLifetimeHook(this, TRUE);
}

CXTPMarkupObject::~CXTPMarkupObject()
{
    if (m_pProperties)
        m_pProperties->Release();
    delete[] m_lpszMarkupTag;
    if (!m_bPermanent)
    {
        InterlockedDecrement(&g_nLiveObjects);
        if (g_pfnLifetimeHook)
            g_pfnLifetimeHook(this, FALSE);
    }
}

CXTPMarkupType* CXTPMarkupObject::GetType() const
{
    return GetMarkupType();
}

LONG CXTPMarkupObject::AddRef()
{
    return InterlockedIncrement(&m_dwRef);
}

LONG CXTPMarkupObject::Release()
{
    if (m_dwRef == 0)
        return 0;
    LONG nRef = InterlockedDecrement(&m_dwRef);
    if (nRef == 0)
        RunFinalRelease(this);
    return nRef;
}

void CXTPMarkupObject::RunFinalRelease(CXTPMarkupObject* pObject)
{
    if (t_nFinalReleaseDepth >= kMaxNestedFinalReleases)
    {
        if (!t_pDeferredFinalReleases)
            t_pDeferredFinalReleases = new std::vector<CXTPMarkupObject*>();
        t_pDeferredFinalReleases->push_back(pObject);
        return;
    }
    ++t_nFinalReleaseDepth;
    pObject->OnFinalRelease();
    if (t_nFinalReleaseDepth == 1)
    {
        while (t_pDeferredFinalReleases && !t_pDeferredFinalReleases->empty())
        {
            CXTPMarkupObject* pDeferred = t_pDeferredFinalReleases->back();
            t_pDeferredFinalReleases->pop_back();
            pDeferred->OnFinalRelease();
        }
        delete t_pDeferredFinalReleases;
        t_pDeferredFinalReleases = nullptr;
    }
    --t_nFinalReleaseDepth;
}

void CXTPMarkupObject::OnFinalRelease()
{
    delete this;
}

void CXTPMarkupObject::OnCreatedForContext(CXTPMarkupElementContext* /*pContext*/) {}

CXTPMarkupObject* CXTPMarkupObject::FindResource(const CXTPMarkupObject* /*pKey*/) const
{
    return nullptr;
}

void CXTPMarkupObject::OnMarkupLoaded() {}

BOOL CXTPMarkupObject::IsKindOf(const CXTPMarkupType* pType) const
{
    return CXTPMarkupType::IsDerivedFrom(GetType(), pType);
}

void CXTPMarkupObject::SetMarkupTag(LPCWSTR lpszTag)
{
    delete[] m_lpszMarkupTag;
    m_lpszMarkupTag = nullptr;
    if (lpszTag)
    {
        size_t nLength = wcslen(lpszTag);
        m_lpszMarkupTag = new WCHAR[nLength + 1];
        wmemcpy(m_lpszMarkupTag, lpszTag, nLength + 1);
    }
}

LONG CXTPMarkupObject::GetLiveObjectCount()
{
    return g_nLiveObjects;
}

void CXTPMarkupObject::MarkPermanent()
{
    if (m_bPermanent)
        return;
    m_bPermanent = TRUE;
    InterlockedDecrement(&g_nLiveObjects);
    if (g_pfnLifetimeHook)
        g_pfnLifetimeHook(this, FALSE);
}

void CXTPMarkupObject::SetLifetimeHook(PFNLIFETIMEHOOK pfnHook)
{
    g_pfnLifetimeHook = pfnHook;
}

CXTPMarkupObject* CXTPMarkupObject::LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    return m_pProperties ? m_pProperties->Lookup(pProperty) : nullptr;
}

UINT CXTPMarkupObject::HashValue() const
{
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(this));
}

BOOL CXTPMarkupObject::IsEqual(const CXTPMarkupObject* pObject) const
{
    return pObject == this;
}

int CXTPMarkupObject::GetLogicalChildCount() const
{
    return 0;
}

CXTPMarkupObject* CXTPMarkupObject::GetLogicalChild(int /*nIndex*/) const
{
    return nullptr;
}

BOOL CXTPMarkupObject::HasContent() const
{
    return FALSE;
}

BOOL CXTPMarkupObject::KeepsWhitespace() const
{
    return FALSE;
}

CXTPMarkupObject* CXTPMarkupObject::ParseValue(CXTPMarkupObject* /*pValue*/)
{
    return nullptr;
}

void CXTPMarkupObject::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (const CXTPMarkupString* pString = MarkupCast<CXTPMarkupString>(pContent))
    {
        throw CXTPMarkupBuilderException("Cannot convert the string '%ls' into a '%ls' object", pString->GetText(),
                                         GetType()->GetTypeName());
    }
    throw CXTPMarkupBuilderException("Cannot add content to an object of type '%ls'", GetType()->GetTypeName());
}

void CXTPMarkupObject::ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                                        CXTPMarkupObject* pValue)
{
    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (pValue && pProperty && pBuilder && !pValue->IsKindOf(pProperty->GetPropertyType()))
    {
        CXTPMarkupObject* pConverted = pBuilder->ConvertValue(pProperty, pValue);
        value.Reset(pConverted);
    }
    SetValue(pProperty, value.Detach());
}

void CXTPMarkupObject::OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                         CXTPMarkupObject* pNewValue)
{
    CXTPMarkupPropertyOptions* pOptions = pProperty->GetOptions();
    if (pOptions && pOptions->m_pfnPropertyChanged)
    {
        CXTPMarkupPropertyChangedArgs args = {pProperty, pOldValue, pNewValue};
        pOptions->m_pfnPropertyChanged(this, &args);
    }
}

CXTPMarkupObject* CXTPMarkupObject::GetValueSource(const CXTPMarkupDependencyProperty* pProperty) const
{
    if (!pProperty)
        return nullptr;
    if (LookupOwnValue(pProperty))
        return const_cast<CXTPMarkupObject*>(this);
    if (pProperty->GetFlags() & CXTPMarkupPropertyOptions::Inherits)
    {
        for (CXTPMarkupObject* pAncestor = m_pLogicalParent; pAncestor; pAncestor = pAncestor->m_pLogicalParent)
        {
            if (pAncestor->LookupOwnValue(pProperty))
                return pAncestor;
        }
    }
    return nullptr;
}

CXTPMarkupObject* CXTPMarkupObject::GetValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    if (!pProperty)
        return nullptr;
    if (CXTPMarkupObject* pValue = LookupOwnValue(pProperty))
        return pValue;
    CXTPMarkupPropertyOptions* pOptions = pProperty->GetOptions();
    if (!pOptions)
        return nullptr;
    if (pOptions->m_nFlags & CXTPMarkupPropertyOptions::Inherits)
    {
        for (CXTPMarkupObject* pAncestor = m_pLogicalParent; pAncestor; pAncestor = pAncestor->m_pLogicalParent)
        {
            if (CXTPMarkupObject* pValue = pAncestor->LookupOwnValue(pProperty))
                return pValue;
        }
    }
    return pOptions->m_pDefaultValue;
}

void CXTPMarkupObject::SetValue(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    // The caller's reference is ours from here on: a value we refuse goes back.
    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (!pProperty)
        return;
    if (pValue)
    {
        if (!pValue->IsKindOf(pProperty->GetPropertyType()))
            return;
        if (!m_pProperties)
            m_pProperties = new CXTPMarkupPropertyStore(this);
        if (!m_pProperties->CanStore(pProperty))
            return;
    }

    // The old value may be the one the store is about to release; callbacks
    // and descendants still get to look at it, so hold it until they return.
    // The new value is held too, since a callback may replace it.
    CXTPMarkupPtr<CXTPMarkupObject> oldValue = CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(GetValue(pProperty));
    if (m_pProperties)
        m_pProperties->Set(pProperty, value.Detach());
    CXTPMarkupPtr<CXTPMarkupObject> newValue = CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(GetValue(pProperty));

    if (!oldValue && !newValue)
        return;
    OnPropertyChanged(pProperty, oldValue.Get(), newValue.Get());
    if (pProperty->GetFlags() & CXTPMarkupPropertyOptions::Inherits)
        PropagateInheritedChange(pProperty, oldValue.Get(), newValue.Get());
}

void CXTPMarkupObject::PropagateInheritedChange(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                                CXTPMarkupObject* pNewValue)
{
    // Depth first, parents before children, every descendant of the owner's
    // class, also those with an own value. An explicit stack keeps deep trees
    // off the thread's stack; each visited object is held while its callbacks
    // run, since they may change the tree.
    CXTPMarkupType* pOwnerType = pProperty->GetOwnerType();
    struct Frame
    {
        CXTPMarkupObject* pObject;
        int nNextChild;
    };
    std::vector<Frame> stack;
    stack.push_back({this, 0});
    while (!stack.empty())
    {
        CXTPMarkupObject* pParent = stack.back().pObject;
        int nChild = stack.back().nNextChild++;
        if (nChild >= pParent->GetLogicalChildCount())
        {
            stack.pop_back();
            if (pParent != this)
                pParent->Release();
            continue;
        }
        CXTPMarkupObject* pChild = pParent->GetLogicalChild(nChild);
        if (!pChild)
            continue;
        pChild->AddRef();
        if (pChild->IsKindOf(pOwnerType))
            pChild->OnPropertyChanged(pProperty, pOldValue, pNewValue);
        stack.push_back({pChild, 0});
    }
}
