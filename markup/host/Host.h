// The host context of one markup tree in one window: the link every input
// element of the tree holds, the end of event routing, mouse capture, and the
// delegates markup can name.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

class CXTPImageStore;
class CXTPMarkupDelegate;
class CXTPMarkupDependencyProperty;
class CXTPMarkupEventArgs;
class CXTPMarkupEventHandlerMap;
class CXTPMarkupInputElement;
class CXTPMarkupKeyboardNavigation;
class CXTPMarkupObject;

class CXTPMarkupHost
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
    LONG AddRef();
    LONG Release();
    LONG GetRefCount() const { return m_dwRef; }

    HWND GetHwnd() const { return m_hWnd; }
    void SetHwnd(HWND hWnd) { m_hWnd = hWnd; }

    // Object creation for this host calls AttachElement on every input element
    // made: the element keeps the host and the host counts one reference
    // more. DetachElement comes from the element's final release: the host
    // forgets it in every slot and gives the reference back.
    void AttachElement(CXTPMarkupInputElement* pElement);
    void DetachElement(CXTPMarkupInputElement* pElement);

    // The element the mouse is over (held) and the element holding the mouse
    // capture (not held; an element cleared from it when it goes).
    CXTPMarkupInputElement* GetHotElement() const { return m_pHotElement; }
    CXTPMarkupInputElement* GetCapturedElement() const { return m_pCapturedElement; }
    void CaptureElement(CXTPMarkupInputElement* pElement);
    void ReleaseElementCapture();

    // Routes an event from pElement (see CXTPMarkupInputElement::RaiseEvent).
    void RaiseEvent(CXTPMarkupInputElement* pElement, CXTPMarkupEventArgs* pArgs);

    // Handlers for events of the whole tree: a bubbling event that no
    // element handled ends here. Takes over the reference to pDelegate.
    void AddHandler(CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate);
    // Calls the host's handlers for pArgs->m_pEvent with pSender.
    void RaiseHostHandlers(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs);

    // Delegates that event attributes of markup name. AddDelegate takes over
    // the reference and replaces a delegate of the same name; FindDelegate
    // returns a borrowed pointer or null. Names compare case-sensitively.
    void AddDelegate(LPCWSTR lpszName, CXTPMarkupDelegate* pDelegate);
    CXTPMarkupDelegate* FindDelegate(LPCWSTR lpszName) const;

    CXTPMarkupKeyboardNavigation* GetKeyboardNavigation() const { return m_pKeyboardNavigation; }

    // The store image numbers of this tree name; null (the default) leaves
    // them to the process-wide store. The host holds a reference to pStore.
    CXTPImageStore* GetImageStore() const { return m_pImageStore; }
    void SetImageStore(CXTPImageStore* pStore);

    // Repaints, without erasing, the part of the window an element covers;
    // nothing without a window. Elements call it when they look different.
    virtual void InvalidateElement(CXTPMarkupInputElement* pElement);
    // Repaints the whole client area: the root asks for another size.
    virtual void InvalidateAll();
    // Where an element's subtree lies in the window's client area; empty for
    // anything that is not a visual.
    RECT GetElementRect(CXTPMarkupInputElement* pElement) const;

protected:
    virtual ~CXTPMarkupHost();

private:
    HWND m_hWnd;
    CXTPMarkupInputElement* m_pHotElement;      // held
    CXTPMarkupInputElement* m_pCapturedElement; // not held
    CXTPMarkupObject* m_pMouseOwnerRoot;        // not held
    CXTPMarkupEventHandlerMap* m_pHandlers;     // created by the first AddHandler
    std::unordered_map<std::wstring, CXTPMarkupDelegate*> m_delegates; // held
    CXTPMarkupKeyboardNavigation* m_pKeyboardNavigation;               // owned
    CXTPImageStore* m_pImageStore;                                     // held
    volatile LONG m_dwRef;
};
