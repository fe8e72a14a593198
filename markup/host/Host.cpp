#include "markup/host/Host.h"

#include "markup/elements/Visual.h"

#include "markup/host/Delegate.h"
#include "markup/host/EventHandlerMap.h"
#include "markup/host/InputElement.h"
#include "markup/host/KeyboardNavigation.h"
#include "markup/host/MarkupTypes.h"

#include "markup/model/Type.h"

#include "toolkit/ImageStore.h"

namespace
{
BOOL g_bTypesInitialized = FALSE;
} // namespace

CXTPMarkupHost::CXTPMarkupHost()
    : m_hWnd(nullptr)
    , m_pHotElement(nullptr)
    , m_pCapturedElement(nullptr)
    , m_pMouseOwnerRoot(nullptr)
    , m_pHandlers(nullptr)
    , m_pKeyboardNavigation(nullptr)
    , m_pImageStore(nullptr)
    , m_dwRef(1)
{
    if (!g_bTypesInitialized)
    {
        g_bTypesInitialized = TRUE;
        RegisterMarkupTypes();
        CXTPMarkupType::InitializeTypes();
    }
    m_pKeyboardNavigation = new CXTPMarkupKeyboardNavigation(this);
}

CXTPMarkupHost::~CXTPMarkupHost()
{
    if (m_pHotElement)
    {
        CXTPMarkupInputElement* pHot = m_pHotElement;
        m_pHotElement = nullptr;
        pHot->Release();
    }
    m_pKeyboardNavigation->Release();
    delete m_pHandlers;
    for (auto& entry : m_delegates)
        entry.second->Release();
    if (m_pImageStore)
        m_pImageStore->Release();
}

void CXTPMarkupHost::SetImageStore(CXTPImageStore* pStore)
{
    if (pStore)
        pStore->AddRef();
    if (m_pImageStore)
        m_pImageStore->Release();
    m_pImageStore = pStore;
}

LONG CXTPMarkupHost::AddRef()
{
    return InterlockedIncrement(&m_dwRef);
}

LONG CXTPMarkupHost::Release()
{
    if (m_dwRef == 0)
        return 0;
    LONG nRef = InterlockedDecrement(&m_dwRef);
    if (nRef == 0)
        delete this;
    return nRef;
}

void CXTPMarkupHost::AttachElement(CXTPMarkupInputElement* pElement)
{
    if (!pElement || pElement->m_pMarkupContext == this)
        return;
    AddRef();
    if (pElement->m_pMarkupContext)
        pElement->m_pMarkupContext->DetachElement(pElement);
    pElement->m_pMarkupContext = this;
}

void CXTPMarkupHost::DetachElement(CXTPMarkupInputElement* pElement)
{
    if (!pElement || pElement->m_pMarkupContext != this)
        return;
    // The hot slot holds a reference, so a dying element is seldom there; the
    // slots must never point at a deleted element all the same.
    if (m_pHotElement == pElement)
        m_pHotElement = nullptr;
    if (m_pCapturedElement == pElement)
        m_pCapturedElement = nullptr;
    if (m_pMouseOwnerRoot == pElement)
        m_pMouseOwnerRoot = nullptr;
    pElement->m_pMarkupContext = nullptr;
    Release();
}

void CXTPMarkupHost::CaptureElement(CXTPMarkupInputElement* pElement)
{
    m_pCapturedElement = pElement;
    if (m_hWnd)
        SetCapture(m_hWnd);
}

void CXTPMarkupHost::ReleaseElementCapture()
{
    m_pCapturedElement = nullptr;
    if (m_hWnd)
        ReleaseCapture();
}

void CXTPMarkupHost::RaiseEvent(CXTPMarkupInputElement* pElement, CXTPMarkupEventArgs* pArgs)
{
    if (pElement)
        pElement->RaiseEvent(pArgs);
}

void CXTPMarkupHost::AddHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate)
{
    if (!m_pHandlers)
        m_pHandlers = new CXTPMarkupEventHandlerMap();
    m_pHandlers->Add(pEvent, pDelegate);
}

void CXTPMarkupHost::RaiseHostHandlers(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
{
    if (m_pHandlers)
        m_pHandlers->Raise(pSender, pArgs);
}

void CXTPMarkupHost::AddDelegate(LPCWSTR lpszName, CXTPMarkupDelegate* pDelegate)
{
    if (!lpszName || !pDelegate)
    {
        if (pDelegate)
            pDelegate->Release();
        return;
    }
    CXTPMarkupDelegate*& pSlot = m_delegates[lpszName];
    if (pSlot)
        pSlot->Release();
    pSlot = pDelegate;
}

CXTPMarkupDelegate* CXTPMarkupHost::FindDelegate(LPCWSTR lpszName) const
{
    if (!lpszName)
        return nullptr;
    auto it = m_delegates.find(lpszName);
    return it == m_delegates.end() ? nullptr : it->second;
}

void CXTPMarkupHost::InvalidateElement(CXTPMarkupInputElement* pElement)
{
    if (!m_hWnd)
        return;
    const RECT rc = GetElementRect(pElement);
    InvalidateRect(m_hWnd, &rc, FALSE);
}

void CXTPMarkupHost::InvalidateAll()
{
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

RECT CXTPMarkupHost::GetElementRect(CXTPMarkupInputElement* pElement) const
{
    RECT rc = {0, 0, 0, 0};
    const CXTPMarkupVisual* pVisual = MarkupCast<CXTPMarkupVisual>(pElement);
    if (!pVisual)
        return rc;
    rc = pVisual->GetBounds();
    for (; pVisual; pVisual = pVisual->GetParentVisual())
        OffsetRect(&rc, pVisual->GetOffset().x, pVisual->GetOffset().y);
    return rc;
}
