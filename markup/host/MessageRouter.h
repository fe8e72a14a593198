// The window-message side of a host: turns the window's mouse, cursor,
// capture, wheel and keyboard messages into events on the elements of a
// tree, keeps the hot, captured and tracking elements, and feeds the tooltip.
#pragma once

#include "toolkit/MarkupToolTipRelay.h"

#include <windows.h>

#include <memory>

class CXTPMarkupEventArgs;
class CXTPMarkupHost;
class CXTPMarkupInputElement;
class CXTPMarkupMouseTracker;
class CXTPMarkupObject;

class CXTPMarkupMessageRouter : private CMarkupToolTipRelay::ISite
{
public:
    // pHost owns the router and outlives it.
    explicit CXTPMarkupMessageRouter(CXTPMarkupHost* pHost);
    virtual ~CXTPMarkupMessageRouter();
    CXTPMarkupMessageRouter(const CXTPMarkupMessageRouter&) = delete;
    CXTPMarkupMessageRouter& operator=(const CXTPMarkupMessageRouter&) = delete;

    // See CXTPMarkupHost::HandleMessage.
    BOOL HandleMessage(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    CXTPMarkupInputElement* GetHotElement() const { return m_pHotElement; }
    CXTPMarkupInputElement* GetCapturedElement() const { return m_pCapturedElement; }
    CXTPMarkupObject* GetMouseOwnerRoot() const { return m_pMouseOwnerRoot; }
    CXTPMarkupInputElement* GetTrackingElement() const { return m_pTrackingElement; }
    CMarkupToolTipRelay* GetToolTipRelay() const { return m_pToolTipRelay.get(); }

    void CaptureElement(CXTPMarkupInputElement* pElement);
    void ReleaseElementCapture();
    void BeginTracking(CXTPMarkupInputElement* pElement, CXTPMarkupMouseTracker* pTracker);
    void EndTracking(CXTPMarkupInputElement* pElement);

    // See CXTPMarkupHost::ToolHitTest.
    INT_PTR ToolHitTest(TOOLINFOA* pInfo) override;

    // pElement is going: no slot may point at it any more.
    void ForgetElement(CXTPMarkupInputElement* pElement);
    // The window is gone: nothing may keep the hot element, which holds
    // the host, and the host, which holds it, alive any longer.
    void DropHotElementOfLostWindow();
    // The host is going: the hot element's reference goes back without any
    // leave events.
    void ReleaseHotElement();

private:
    class CElementChain;

    BOOL OnMouseMove(CXTPMarkupInputElement* pRoot, int x, int y);
    // The element under (x, y) becomes hot (the captured element only over
    // itself), with enter and leave on the chains that differ.
    void UpdateHotElement(CXTPMarkupInputElement* pRoot, int x, int y);
    void SetHotElement(CXTPMarkupInputElement* pElement, int x, int y);
    BOOL QueryCursor(int x, int y);
    BOOL OnMouseWheel(int nDelta, int x, int y);
    BOOL OnMouseButton(UINT message, LPARAM lParam);
    void OnCaptureChanged();
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
    // Offers a message to the tracking element of pRoot's tree; TRUE when it
    // consumed it.
    BOOL OfferToTracker(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam);
    void CancelTracking();
    HWND GetHwnd() const;

    CXTPMarkupHost* m_pHost;                    // not held: it owns this router
    CXTPMarkupInputElement* m_pHotElement;      // held
    CXTPMarkupInputElement* m_pCapturedElement; // not held
    CXTPMarkupObject* m_pMouseOwnerRoot;        // not held
    CXTPMarkupInputElement* m_pTrackingElement; // not held; cleared when it goes
    CXTPMarkupMouseTracker* m_pTracker;         // the tracking element's interface
    std::unique_ptr<CMarkupToolTipRelay> m_pToolTipRelay;
};
