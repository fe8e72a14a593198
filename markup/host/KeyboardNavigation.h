// Keyboard focus of one host: the tab-order properties markup may set, and the
// handler for the key and focus messages the host passes on. Nothing here
// moves the focus: the properties are stored for markup's sake, every message
// is left to the window, and "IsKeyboardFocused" changes only when markup or
// the application sets it.
#pragma once

#include "markup/model/Object.h"

class CXTPMarkupHost;
class CXTPMarkupInputElement;

class CXTPMarkupKeyboardNavigation : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupKeyboardNavigation)
public:
    CXTPMarkupKeyboardNavigation();
    explicit CXTPMarkupKeyboardNavigation(CXTPMarkupHost* pHost);

    static CXTPMarkupDependencyProperty* m_pIsTabStopProperty;     // attached Bool, True
    static CXTPMarkupDependencyProperty* m_pTabNavigationProperty; // attached Enum ("Continue" ... "Local")
    static CXTPMarkupDependencyProperty* m_pTabIndexProperty;      // attached Int, 2147483647
    static void RegisterMarkupProperties();

    // WM_KEYDOWN, WM_SETFOCUS and WM_KILLFOCUS from the host: never handled.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // A button asks for the focus when it is pressed; the request is noted
    // nowhere.
    void Focus(CXTPMarkupInputElement* pElement);

    CXTPMarkupHost* GetMarkupContext() const { return m_pMarkupContext; }
    CXTPMarkupInputElement* GetFocusedElement() const { return m_pFocusedElement; }

protected:
    ~CXTPMarkupKeyboardNavigation() override;

private:
    CXTPMarkupHost* m_pMarkupContext;              // not held: the host owns this object
    CXTPMarkupInputElement* m_pFocusedElement;     // held
    CXTPMarkupInputElement* m_pLastFocusedElement; // held
};
