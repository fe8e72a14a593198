#include "markup/host/MessageRouter.h"

#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/elements/InputElement.h"
#include "markup/host/KeyboardNavigation.h"

#include "markup/model/String.h"

#include "toolkit/CodePage.h"

#include <windowsx.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
// The last mouse message the tooltip relay sees: wheel messages come after it.
constexpr UINT kLastRelayedMouseMessage = WM_MBUTTONDBLCLK;
} // namespace

// An element and its input-element ancestors, nearest first, each held for
// as long as the chain lives: handlers run while it is walked may release
// the tree.
class CXTPMarkupMessageRouter::CElementChain
{
public:
    explicit CElementChain(CXTPMarkupInputElement* pElement)
    {
        for (CXTPMarkupObject* pObject = pElement; pObject; pObject = pObject->GetLogicalParent())
        {
            if (CXTPMarkupInputElement* pInput = MarkupCast<CXTPMarkupInputElement>(pObject))
                m_elements.push_back(CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(pInput));
        }
    }

    size_t GetCount() const { return m_elements.size(); }
    CXTPMarkupInputElement* operator[](size_t nIndex) const { return m_elements[nIndex].Get(); }
    CXTPMarkupInputElement* GetOutermost() const { return m_elements.empty() ? nullptr : m_elements.back().Get(); }
    void DropOutermost() { m_elements.pop_back(); }

    // Raises pArgs->m_pEvent on each element and then calls its operation,
    // until one of them marks the args handled.
    BOOL Deliver(CXTPMarkupEventArgs& args, void (CXTPMarkupInputElement::*pfnOperation)(CXTPMarkupEventArgs*)) const
    {
        for (const auto& element : m_elements)
        {
            if (args.m_pEvent)
                element->RaiseEvent(&args);
            if (args.m_bHandled)
                break;
            (element.Get()->*pfnOperation)(&args);
            if (args.m_bHandled)
                break;
        }
        return args.m_bHandled;
    }

private:
    std::vector<CXTPMarkupPtr<CXTPMarkupInputElement>> m_elements;
};

CXTPMarkupMessageRouter::CXTPMarkupMessageRouter(CXTPMarkupHost* pHost)
    : m_pHost(pHost), m_pHotElement(nullptr), m_pCapturedElement(nullptr), m_pMouseOwnerRoot(nullptr),
      m_pTrackingElement(nullptr), m_pTracker(nullptr), m_pToolTipRelay(new CMarkupToolTipRelay(this))
{
    m_pToolTipRelay->SetStyle(CMarkupToolTipRelay::kStylePlain);
}

CXTPMarkupMessageRouter::~CXTPMarkupMessageRouter()
{
    ReleaseHotElement();
}

HWND CXTPMarkupMessageRouter::GetHwnd() const
{
    return m_pHost->GetHwnd();
}

void CXTPMarkupMessageRouter::ReleaseHotElement()
{
    if (!m_pHotElement)
        return;
    CXTPMarkupInputElement* pHot = m_pHotElement;
    m_pHotElement = nullptr;
    m_pMouseOwnerRoot = nullptr;
    pHot->Release();
}

void CXTPMarkupMessageRouter::ForgetElement(CXTPMarkupInputElement* pElement)
{
    // The hot slot holds a reference, so a dying element is seldom there; the
    // slots must never point at a deleted element all the same.
    if (m_pHotElement == pElement)
        m_pHotElement = nullptr;
    if (m_pCapturedElement == pElement)
    {
        // The window must not keep the mouse for an element that is gone.
        m_pCapturedElement = nullptr;
        if (GetHwnd() && GetCapture() == GetHwnd())
            ReleaseCapture();
    }
    if (m_pMouseOwnerRoot == pElement)
        m_pMouseOwnerRoot = nullptr;
    if (m_pTrackingElement == pElement)
    {
        m_pTrackingElement = nullptr;
        m_pTracker = nullptr;
    }
}

void CXTPMarkupMessageRouter::DropHotElementOfLostWindow()
{
    // Held until the leave events are over; its release may be the last.
    CXTPMarkupPtr<CXTPMarkupHost> self = CXTPMarkupPtr<CXTPMarkupHost>::AddRefOf(m_pHost);
    // A tracking element is told, or it would wait for a button up forever.
    CancelTracking();
    if (!m_pHotElement)
        return;
    SetHotElement(nullptr, -1, -1);
    m_pCapturedElement = nullptr;
}

void CXTPMarkupMessageRouter::CaptureElement(CXTPMarkupInputElement* pElement)
{
    if (m_pTrackingElement && m_pTrackingElement != pElement)
        CancelTracking();
    // The system tells a window that takes the capture again that it lost
    // it: the window first, so that this element is not told so at once.
    if (GetHwnd() && GetCapture() != GetHwnd())
        SetCapture(GetHwnd());
    m_pCapturedElement = pElement;
}

void CXTPMarkupMessageRouter::ReleaseElementCapture()
{
    m_pCapturedElement = nullptr;
    if (GetHwnd())
        ReleaseCapture();
}

void CXTPMarkupMessageRouter::BeginTracking(CXTPMarkupInputElement* pElement, CXTPMarkupMouseTracker* pTracker)
{
    if (!pElement || !pTracker)
        return;
    CaptureElement(pElement);
    m_pTrackingElement = pElement;
    m_pTracker = pTracker;
}

void CXTPMarkupMessageRouter::EndTracking(CXTPMarkupInputElement* pElement)
{
    if (!pElement || pElement != m_pTrackingElement)
        return;
    // Cleared before the capture goes: releasing it sends WM_CAPTURECHANGED,
    // which must find nobody tracking any more.
    m_pTrackingElement = nullptr;
    m_pTracker = nullptr;
    if (m_pCapturedElement == pElement)
    {
        m_pCapturedElement = nullptr;
        if (GetHwnd() && GetCapture() == GetHwnd())
            ReleaseCapture();
    }
}

void CXTPMarkupMessageRouter::CancelTracking()
{
    if (!m_pTrackingElement)
        return;
    CXTPMarkupPtr<CXTPMarkupInputElement> tracking =
        CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(m_pTrackingElement);
    m_pTracker->OnTrackingMessage(WM_CANCELMODE, 0, 0);
    // A tracker that ignored the cancel still loses the window's messages.
    EndTracking(tracking.Get());
}

BOOL CXTPMarkupMessageRouter::OfferToTracker(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pTrackingElement)
        return FALSE;
    const BOOL bMouse = message >= WM_MOUSEMOVE && message <= kLastRelayedMouseMessage;
    const BOOL bCaptureLost = message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != GetHwnd();
    if (!bMouse && !bCaptureLost && message != WM_TIMER && message != WM_CANCELMODE)
        return FALSE;
    // A window showing several roots offers each message to each of them;
    // the tracker hears it once, with its own root.
    CXTPMarkupObject* pObject = m_pTrackingElement;
    while (pObject && pObject != pRoot)
        pObject = pObject->GetLogicalParent();
    if (!pObject)
        return FALSE;
    CXTPMarkupPtr<CXTPMarkupInputElement> tracking =
        CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(m_pTrackingElement);
    return m_pTracker->OnTrackingMessage(message, wParam, lParam);
}

BOOL CXTPMarkupMessageRouter::HandleMessage(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT* pResult)
{
    if (!GetHwnd() || !pRoot)
        return FALSE;
    LRESULT lDummy = 0;
    if (!pResult)
        pResult = &lDummy;

    // Handlers may release the tree and the host's last holder with it.
    CXTPMarkupPtr<CXTPMarkupHost> self = CXTPMarkupPtr<CXTPMarkupHost>::AddRefOf(m_pHost);
    CXTPMarkupPtr<CXTPMarkupInputElement> root = CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(pRoot);

    // The window goes for every root: the hot element, which holds this host,
    // is let go whichever root owns the mouse.
    if (message == WM_DESTROY || message == WM_NCDESTROY)
    {
        CancelTracking();
        DropHotElementOfLostWindow();
        m_pToolTipRelay->Reset();
        return FALSE;
    }
    if (OfferToTracker(pRoot, message, wParam, lParam))
    {
        *pResult = 0;
        return TRUE;
    }
    if (m_pMouseOwnerRoot && m_pMouseOwnerRoot != pRoot)
        return FALSE;

    if (message == WM_MOUSEMOVE)
    {
        const BOOL bHandled = OnMouseMove(pRoot, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        RelayToToolTip(message, wParam, lParam);
        return bHandled;
    }
    if (message == WM_MOUSELEAVE)
        SetHotElement(nullptr, -1, -1);
    if ((message >= WM_MOUSEFIRST && message <= kLastRelayedMouseMessage) || message == WM_MOUSELEAVE)
        RelayToToolTip(message, wParam, lParam);

    switch (message)
    {
    case WM_SETCURSOR:
    {
        POINT pt = {-1, -1};
        if (GetCursorPos(&pt))
            ScreenToClient(GetHwnd(), &pt);
        if (!QueryCursor(pt.x, pt.y))
            return FALSE;
        *pResult = TRUE;
        return TRUE;
    }
    case WM_MOUSEWHEEL:
    {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // screen coordinates
        ScreenToClient(GetHwnd(), &pt);
        if (!OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), pt.x, pt.y))
            return FALSE;
        *pResult = TRUE;
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK:
        // A pointer that jumped back into the window (a warp, a window
        // raised under it) may click before any move told who is under it.
        UpdateHotElement(pRoot, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return OnMouseButton(message, lParam);
    case WM_CAPTURECHANGED:
        // The capture moving to this same window is no loss.
        if (reinterpret_cast<HWND>(lParam) != GetHwnd())
            OnCaptureChanged();
        return FALSE;
    case WM_KEYDOWN:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return m_pHost->GetKeyboardNavigation()->OnWndMsg(message, wParam, lParam, pResult);
    default: return FALSE;
    }
}

BOOL CXTPMarkupMessageRouter::OnMouseMove(CXTPMarkupInputElement* pRoot, int x, int y)
{
    UpdateHotElement(pRoot, x, y);
    if (!m_pHotElement)
        return FALSE;
    CXTPMarkupEventArgs args(CXTPMarkupInputElement::m_pMouseMoveEvent, m_pHotElement);
    args.m_hWnd = GetHwnd();
    args.m_x = x;
    args.m_y = y;
    return CElementChain(m_pHotElement).Deliver(args, &CXTPMarkupInputElement::OnMouseMove);
}

void CXTPMarkupMessageRouter::UpdateHotElement(CXTPMarkupInputElement* pRoot, int x, int y)
{
    CXTPMarkupInputElement* pHit = pRoot->HitTest(x, y);
    if (m_pCapturedElement)
    {
        // The captured element stays hot while the mouse is over it or its
        // descendants; anywhere else nothing is.
        CXTPMarkupObject* pObject = pHit;
        while (pObject && pObject != m_pCapturedElement)
            pObject = pObject->GetLogicalParent();
        pHit = pObject ? m_pCapturedElement : nullptr;
    }

    if (pHit != m_pHotElement)
    {
        SetHotElement(pHit, x, y);
        if (m_pHotElement)
        {
            TRACKMOUSEEVENT tme = {};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = GetHwnd();
            TrackMouseEvent(&tme);
        }
        if (!QueryCursor(x, y))
            SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }

    m_pMouseOwnerRoot = m_pHotElement ? pRoot : nullptr;
}

void CXTPMarkupMessageRouter::SetHotElement(CXTPMarkupInputElement* pElement, int x, int y)
{
    if (pElement == m_pHotElement)
        return;
    if (!pElement)
        m_pMouseOwnerRoot = nullptr;

    // Common ancestors are neither left nor entered.
    CElementChain oldChain(m_pHotElement);
    CElementChain newChain(pElement);
    while (oldChain.GetCount() && newChain.GetCount() && oldChain.GetOutermost() == newChain.GetOutermost())
    {
        oldChain.DropOutermost();
        newChain.DropOutermost();
    }

    if (pElement)
        pElement->AddRef();
    CXTPMarkupPtr<CXTPMarkupInputElement> oldHot(m_pHotElement);
    m_pHotElement = pElement;

    CXTPMarkupEventArgs leave(CXTPMarkupInputElement::m_pMouseLeaveEvent, oldHot.Get());
    leave.m_hWnd = GetHwnd();
    leave.m_x = x;
    leave.m_y = y;
    oldChain.Deliver(leave, &CXTPMarkupInputElement::OnMouseLeave);

    CXTPMarkupEventArgs enter(CXTPMarkupInputElement::m_pMouseEnterEvent, pElement);
    enter.m_hWnd = GetHwnd();
    enter.m_x = x;
    enter.m_y = y;
    newChain.Deliver(enter, &CXTPMarkupInputElement::OnMouseEnter);
}

BOOL CXTPMarkupMessageRouter::QueryCursor(int x, int y)
{
    if (!m_pHotElement)
        return FALSE;
    CXTPMarkupEventArgs args(nullptr, m_pHotElement);
    args.m_hWnd = GetHwnd();
    args.m_x = x;
    args.m_y = y;
    if (!CElementChain(m_pHotElement).Deliver(args, &CXTPMarkupInputElement::OnQueryCursor) || !args.m_hCursor)
        return FALSE;
    SetCursor(args.m_hCursor);
    return TRUE;
}

BOOL CXTPMarkupMessageRouter::OnMouseWheel(int nDelta, int x, int y)
{
    if (!m_pHotElement)
        return FALSE;
    CXTPMarkupEventArgs args(nullptr, m_pHotElement);
    args.m_hWnd = GetHwnd();
    args.m_x = x;
    args.m_y = y;
    args.m_nWheelDelta = nDelta;
    return CElementChain(m_pHotElement).Deliver(args, &CXTPMarkupInputElement::OnMouseWheel);
}

BOOL CXTPMarkupMessageRouter::OnMouseButton(UINT message, LPARAM lParam)
{
    CXTPMarkupInputElement* pStart = m_pCapturedElement ? m_pCapturedElement : m_pHotElement;
    if (!pStart)
        return FALSE;

    CXTPMarkupDependencyProperty* pEvent = nullptr;
    void (CXTPMarkupInputElement::*pfnOperation)(CXTPMarkupEventArgs*) = nullptr;
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pEvent = CXTPMarkupInputElement::m_pMouseLeftButtonDownEvent;
        pfnOperation = &CXTPMarkupInputElement::OnMouseLeftButtonDown;
        break;
    case WM_LBUTTONUP:
        pEvent = CXTPMarkupInputElement::m_pMouseLeftButtonUpEvent;
        pfnOperation = &CXTPMarkupInputElement::OnMouseLeftButtonUp;
        break;
    case WM_RBUTTONDOWN:
        pEvent = CXTPMarkupInputElement::m_pMouseRightButtonDownEvent;
        pfnOperation = &CXTPMarkupInputElement::OnMouseRightButtonDown;
        break;
    case WM_RBUTTONUP:
        pEvent = CXTPMarkupInputElement::m_pMouseRightButtonUpEvent;
        pfnOperation = &CXTPMarkupInputElement::OnMouseRightButtonUp;
        break;
    default: return FALSE;
    }

    CXTPMarkupEventArgs args(pEvent, pStart);
    args.m_hWnd = GetHwnd();
    args.m_x = GET_X_LPARAM(lParam);
    args.m_y = GET_Y_LPARAM(lParam);
    return CElementChain(pStart).Deliver(args, pfnOperation);
}

void CXTPMarkupMessageRouter::OnCaptureChanged()
{
    if (!m_pCapturedElement)
        return;
    CXTPMarkupPtr<CXTPMarkupInputElement> captured =
        CXTPMarkupPtr<CXTPMarkupInputElement>::AddRefOf(m_pCapturedElement);
    CXTPMarkupEventArgs args(CXTPMarkupInputElement::m_pLostMouseCaptureEvent, captured.Get());
    args.m_hWnd = GetHwnd();
    captured->RaiseEvent(&args);
    if (!args.m_bHandled)
        captured->OnLostMouseCapture(&args);
    m_pCapturedElement = nullptr;
}

void CXTPMarkupMessageRouter::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT ptCursor = {};
    GetCursorPos(&ptCursor);
    m_pToolTipRelay->RelayMessage(GetHwnd(), message, wParam, lParam, ptCursor);
}

INT_PTR CXTPMarkupMessageRouter::ToolHitTest(TOOLINFOA* pInfo)
{
    if (!m_pHotElement)
        return -1;
    CElementChain chain(m_pHotElement);
    for (size_t i = 0; i < chain.GetCount(); ++i)
    {
        CXTPMarkupInputElement* pElement = chain[i];
        const CXTPMarkupString* pText =
            MarkupCast<CXTPMarkupString>(pElement->GetValue(CXTPMarkupInputElement::m_pToolTipProperty));
        if (!pText)
            continue;
        if (pInfo && pInfo->cbSize >= 40)
        {
            const std::string strText = XTPToMultiByte(pText->GetText(), pText->GetLength(), CP_ACP);
            char* pszText = static_cast<char*>(malloc(strText.size() + 1));
            if (pszText)
                memcpy(pszText, strText.c_str(), strText.size() + 1);
            pInfo->hwnd = GetHwnd();
            pInfo->rect = m_pHost->GetElementRect(pElement);
            pInfo->uId = reinterpret_cast<UINT_PTR>(pElement);
            pInfo->lpszText = pszText;
        }
        return reinterpret_cast<INT_PTR>(pElement);
    }
    return -1;
}
