// The host context of one markup tree in one window: it parses markup for the
// window, hands out shared fonts, pictures and default text settings, and
// repaints elements; its message router turns the window's messages into
// events on the elements. Every input element of the tree holds it.
#pragma once

#include "markup/elements/ElementContext.h"
#include "markup/host/CachedFont.h"

#include "toolkit/MarkupToolTipRelay.h"

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

class CXTPImageStore;
class CXTPMarkupCachedFont;
class CXTPMarkupDelegate;
class CXTPMarkupDependencyProperty;
class CXTPMarkupEventArgs;
class CXTPMarkupEventHandlerMap;
class CXTPMarkupInputElement;
class CXTPMarkupKeyboardNavigation;
class CXTPMarkupMessageRouter;
class CXTPMarkupFontList;
class CXTPMarkupObject;
class CXTPMarkupUIElement;

// An element that follows the mouse by itself while it holds the capture (a
// scroll bar dragging its thumb or repeating a page). The host gives it the
// window's mouse messages, timer messages and the loss of the capture before
// routing anything, so the element tracks through ordinary messages instead
// of a message loop of its own that would let other messages reach it
// half-way through an operation.
class CXTPMarkupMouseTracker
{
public:
    virtual ~CXTPMarkupMouseTracker() = default;
    // WM_MOUSEMOVE, the button messages, WM_TIMER, WM_CAPTURECHANGED (the
    // capture leaving the window) and WM_CANCELMODE; TRUE when the message is
    // consumed and the host must not route it.
    virtual BOOL OnTrackingMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class CXTPMarkupHost : public CXTPMarkupElementContext
{
public:
    // The first host of the process registers and initialises every markup
    // type.
    CXTPMarkupHost();
    CXTPMarkupHost(const CXTPMarkupHost&) = delete;
    CXTPMarkupHost& operator=(const CXTPMarkupHost&) = delete;

    // Reference counted: the creator holds one reference, and every input
    // element created for the host one more. The last Release deletes the
    // host through its virtual destructor.
    LONG AddRef() override;
    LONG Release() override;
    LONG GetRefCount() const { return m_dwRef; }

    HWND GetHwnd() const { return m_hWnd; }
    void SetHwnd(HWND hWnd) { m_hWnd = hWnd; }

    // Builds the tree of 8-bit markup for this host: the root with one
    // reference, or null for a null text or markup the builder rejects.
    // GetParseError then tells why; it is empty after a parse that built.
    // The text is in nCodePage: 0, the system's ANSI code page, unless the
    // markup declares UTF-8.
    CXTPMarkupUIElement* Parse(LPCSTR lpszMarkup, UINT nCodePage = 0);
    const std::string& GetParseError() const { return m_strParseError; }

    // One window message for the tree under pRoot (arranged in the window's
    // client coordinates). Non-zero when the message was handled; *pResult
    // is then what the window procedure answers, for the messages that
    // answer anything.
    virtual BOOL HandleMessage(CXTPMarkupInputElement* pRoot, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT* pResult);

    // The font for lf, shared with every element of this host asking for the
    // same height, weight, italic, quality and face; one reference for the
    // caller. The font leaves the cache when its last holder releases it.
    CXTPMarkupCachedFont* GetCachedFont(const LOGFONTA& lf) override;
    // The cache itself, null before the first GetCachedFont.
    const CXTPMarkupFontList* GetFontList() const { return m_pFontList.get(); }

    // Text of elements that set no font or colour: the system message-box
    // font and black, unless the window's owner says otherwise.
    const LOGFONTA& GetDefaultFont() const override { return m_lfDefault; }
    void SetDefaultFont(const LOGFONTA& lf) { m_lfDefault = lf; }
    COLORREF GetDefaultTextColor() const override { return m_clrDefaultText; }
    void SetDefaultTextColor(COLORREF clr) { m_clrDefaultText = clr; }

    // The DPI of the window the tree shows in (96 by default). Markup lengths
    // and pictures without a size of their own are 96-DPI pixels, scaled to
    // this as they are read: a tree parsed before a change keeps its sizes.
    int GetDpi() const override { return m_nDpi; }
    void SetDpi(int nDpi) { m_nDpi = nDpi > 0 ? nDpi : 96; }

    // The element the tooltip is shown for: the nearest element of the hot
    // chain whose "ToolTip" is a string. When pInfo->cbSize is at least 40,
    // the record gets the window, the element's rectangle, the element as
    // identifier and a malloc'ed copy of the text, which the caller frees.
    // -1 when no element has a tooltip.
    INT_PTR ToolHitTest(TOOLINFOA* pInfo);
    CMarkupToolTipRelay* GetToolTipRelay() const;

    // The root that owns the mouse while an element of it is hot: messages
    // for other roots are refused meanwhile.
    CXTPMarkupObject* GetMouseOwnerRoot() const;

    // Object creation for this host calls AttachElement on every input element
    // made: the element keeps the host and the host counts one reference
    // more. DetachElement comes from the element's final release: the host
    // forgets it in every slot and gives the reference back.
    void AttachElement(CXTPMarkupInputElement* pElement) override;
    void DetachElement(CXTPMarkupInputElement* pElement) override;
    // The host an element was created for; null for none or another context.
    static CXTPMarkupHost* FromElement(const CXTPMarkupInputElement* pElement);
    void* FindImplementation(const void* pKey) override;

    // The element the mouse is over (held) and the element holding the mouse
    // capture (not held; an element cleared from it when it goes).
    CXTPMarkupInputElement* GetHotElement() const;
    CXTPMarkupInputElement* GetCapturedElement() const override;
    void CaptureElement(CXTPMarkupInputElement* pElement) override;
    void ReleaseElementCapture() override;

    // pElement takes the capture and pTracker (the element itself) sees the
    // window's messages first until EndTracking, the element's final release,
    // or another element taking the capture (which sends the tracker
    // WM_CANCELMODE first). EndTracking releases the capture when pElement
    // still holds it; nothing when pElement is not the one tracking.
    void BeginTracking(CXTPMarkupInputElement* pElement, CXTPMarkupMouseTracker* pTracker);
    void EndTracking(CXTPMarkupInputElement* pElement);
    CXTPMarkupInputElement* GetTrackingElement() const;

    // Routes an event from pElement (see CXTPMarkupInputElement::RaiseEvent).
    void RaiseEvent(CXTPMarkupInputElement* pElement, CXTPMarkupEventArgs* pArgs);

    // Handlers for events of the whole tree: a bubbling event that no
    // element handled ends here. Takes over the reference to pDelegate.
    void AddHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate);
    // Calls the host's handlers for pArgs->m_pEvent with pSender.
    void RaiseHostHandlers(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs) override;

    // Delegates that event attributes of markup name. AddDelegate takes over
    // the reference and replaces a delegate of the same name; FindDelegate
    // returns a borrowed pointer or null. Names compare case-sensitively.
    void AddDelegate(LPCWSTR lpszName, CXTPMarkupDelegate* pDelegate);
    CXTPMarkupDelegate* FindDelegate(LPCWSTR lpszName) const override;

    CXTPMarkupKeyboardNavigation* GetKeyboardNavigation() const { return m_pKeyboardNavigation; }

    // The store image numbers of this tree name; null (the default) leaves
    // them to the process-wide store. The host holds a reference to pStore.
    CXTPImageStore* GetImageStore() const override { return m_pImageStore; }
    void SetImageStore(CXTPImageStore* pStore);

    // Repaints, without erasing, the part of the window an element covers;
    // nothing without a window. Elements call it when they look different.
    void InvalidateElement(CXTPMarkupInputElement* pElement) override;
    // Repaints the whole client area: the root asks for another size.
    void InvalidateAll() override;
    // Where an element's subtree, or the text of an inline, shows in the
    // window's client area: its bounds moved by the offsets above it, not
    // cut to the clipping elements; empty for anything else.
    RECT GetElementRect(CXTPMarkupInputElement* pElement) const;

protected:
    ~CXTPMarkupHost() override;

private:
    CXTPImageStore* m_pImageStore; // held
    HWND m_hWnd;
    COLORREF m_clrDefaultText;
    int m_nDpi = 96;
    LOGFONTA m_lfDefault;
    std::unique_ptr<CXTPMarkupFontList> m_pFontList;                   // created by the first GetCachedFont
    CXTPMarkupEventHandlerMap* m_pHandlers;                            // created by the first AddHandler
    std::unordered_map<std::wstring, CXTPMarkupDelegate*> m_delegates; // held
    CXTPMarkupKeyboardNavigation* m_pKeyboardNavigation;               // owned
    std::unique_ptr<CXTPMarkupMessageRouter> m_pRouter;                // the window-message side
    std::string m_strParseError;
    volatile LONG m_dwRef;
};
