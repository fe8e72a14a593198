#include "markup/host/Host.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/UIElement.h"
#include "markup/elements/Visual.h"

#include "markup/host/CachedFont.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/elements/EventHandlerMap.h"
#include "markup/elements/InputElement.h"
#include "markup/host/KeyboardNavigation.h"
#include "markup/host/MarkupTypes.h"
#include "markup/host/MessageRouter.h"
#include "markup/host/GdiPainter.h"

#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include "toolkit/CodePage.h"
#include "toolkit/ImageStore.h"

#include <windowsx.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace
{
// The size of the metrics record without its last member, which every
// version of the system accepts; the full size is refused by the older ones.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);

LOGFONTA MessageBoxFont()
{
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = kNonClientMetricsSize;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &ncm, 0))
        return ncm.lfMessageFont;
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

} // namespace

CXTPMarkupHost::CXTPMarkupHost()
    : m_pImageStore(nullptr), m_hWnd(nullptr), m_clrDefaultText(RGB(0, 0, 0)), m_lfDefault(MessageBoxFont()),
      m_pHandlers(nullptr), m_pKeyboardNavigation(nullptr), m_dwRef(1)
{
    EnsureMarkupTypes();
    m_pKeyboardNavigation = new CXTPMarkupKeyboardNavigation(this);
    m_pRouter.reset(new CXTPMarkupMessageRouter(this));
}

CXTPMarkupHost::~CXTPMarkupHost()
{
    m_pRouter->ReleaseHotElement();
    m_pKeyboardNavigation->Release();
    delete m_pHandlers;
    for (auto& entry : m_delegates)
        entry.second->Release();
    m_pFontList.reset();
    m_pRouter.reset();
    if (m_pImageStore)
        m_pImageStore->Release();
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
    else if (m_pRouter->GetHotElement() && m_hWnd && !IsWindow(m_hWnd))
        m_pRouter->DropHotElementOfLostWindow(); // may delete this
    return nRef;
}

void CXTPMarkupHost::AttachElement(CXTPMarkupInputElement* pElement)
{
    if (!pElement || pElement->GetMarkupContext() == this)
        return;
    AddRef();
    if (CXTPMarkupElementContext* pPrevious = pElement->GetMarkupContext())
        pPrevious->DetachElement(pElement);
    SetElementContext(pElement, this);
}

void CXTPMarkupHost::DetachElement(CXTPMarkupInputElement* pElement)
{
    if (!pElement || pElement->GetMarkupContext() != this)
        return;
    if (m_pRouter)
        m_pRouter->ForgetElement(pElement);
    SetElementContext(pElement, nullptr);
    Release();
}

namespace
{
const char s_hostKey = 0;
} // namespace

CXTPMarkupHost* CXTPMarkupHost::FromElement(const CXTPMarkupInputElement* pElement)
{
    CXTPMarkupElementContext* pContext = pElement ? pElement->GetMarkupContext() : nullptr;
    return pContext ? static_cast<CXTPMarkupHost*>(pContext->FindImplementation(&s_hostKey)) : nullptr;
}

void* CXTPMarkupHost::FindImplementation(const void* pKey)
{
    return pKey == &s_hostKey ? this : nullptr;
}

BOOL CXTPMarkupHost::HandleMessage(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT* pResult)
{
    return m_pRouter->HandleMessage(pRoot, message, wParam, lParam, pResult);
}

INT_PTR CXTPMarkupHost::ToolHitTest(TOOLINFOA* pInfo)
{
    return m_pRouter->ToolHitTest(pInfo);
}

CMarkupToolTipRelay* CXTPMarkupHost::GetToolTipRelay() const
{
    return m_pRouter->GetToolTipRelay();
}

CXTPMarkupObject* CXTPMarkupHost::GetMouseOwnerRoot() const
{
    return m_pRouter->GetMouseOwnerRoot();
}

CXTPMarkupInputElement* CXTPMarkupHost::GetHotElement() const
{
    return m_pRouter->GetHotElement();
}

CXTPMarkupInputElement* CXTPMarkupHost::GetCapturedElement() const
{
    return m_pRouter->GetCapturedElement();
}

void CXTPMarkupHost::CaptureElement(CXTPMarkupInputElement* pElement)
{
    m_pRouter->CaptureElement(pElement);
}

void CXTPMarkupHost::ReleaseElementCapture()
{
    m_pRouter->ReleaseElementCapture();
}

void CXTPMarkupHost::BeginTracking(CXTPMarkupInputElement* pElement, CXTPMarkupMouseTracker* pTracker)
{
    m_pRouter->BeginTracking(pElement, pTracker);
}

void CXTPMarkupHost::EndTracking(CXTPMarkupInputElement* pElement)
{
    m_pRouter->EndTracking(pElement);
}

CXTPMarkupInputElement* CXTPMarkupHost::GetTrackingElement() const
{
    return m_pRouter->GetTrackingElement();
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

void CXTPMarkupHost::SetImageStore(CXTPImageStore* pImageStore)
{
    if (pImageStore)
        pImageStore->AddRef();
    if (m_pImageStore)
        m_pImageStore->Release();
    m_pImageStore = pImageStore;
}

CXTPMarkupUIElement* CXTPMarkupHost::Parse(LPCSTR lpszMarkup, UINT nCodePage)
{
    m_strParseError.clear();
    if (!lpszMarkup)
        return nullptr;
    CXTPMarkupObject* pRoot =
        CXTPMarkupObjectBuilder::Parse(this, lpszMarkup, strlen(lpszMarkup), &m_strParseError, nCodePage, m_nDpi);
    // The builder answers nothing but a UI element at the root.
    return static_cast<CXTPMarkupUIElement*>(pRoot);
}

CXTPMarkupCachedFont* CXTPMarkupHost::GetCachedFont(const LOGFONTA& lf)
{
    if (!m_pFontList)
        m_pFontList.reset(new CXTPMarkupFontList());
    if (CXTPMarkupCachedFont* pFont = m_pFontList->Find(lf))
    {
        pFont->AddRef();
        return pFont;
    }
    return new CXTPMarkupCachedFont(lf, m_pFontList.get());
}

void CXTPMarkupHost::InvalidateElement(CXTPMarkupInputElement* pElement)
{
    if (!m_hWnd)
        return;
    // Only what the clipping elements on the way up let show: a scrolled
    // viewer repaints its box, not the whole length of its content.
    RECT rc = {0, 0, 0, 0};
    if (const CXTPMarkupVisual* pVisual = pElement ? pElement->GetPlacement(&rc) : nullptr)
        rc = pVisual->ToRoot(rc, TRUE);
    if (!IsRectEmpty(&rc))
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
    if (const CXTPMarkupVisual* pVisual = pElement ? pElement->GetPlacement(&rc) : nullptr)
        rc = pVisual->ToRoot(rc, FALSE);
    return rc;
}
