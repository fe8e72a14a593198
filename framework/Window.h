// A window object over an HWND: subclassing of controls that a dialog
// template created, and the dispatch that offers each message to the
// object before the window's original procedure.
#pragma once

#include <windows.h>

#include <string>

class CWindow
{
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    operator HWND() const { return m_hWnd; }

    // Routes the control's messages through this object; the window's own
    // procedure still gets every message the object does not handle.
    BOOL SubclassDlgItem(UINT nId, HWND hParent);
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    // The object behind a window that one of ours subclassed, or null.
    static CWindow* FromHandle(HWND hWnd);

    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& strText);
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
    RECT GetClientRect() const;
    void EnableWindow(BOOL bEnable) { ::EnableWindow(m_hWnd, bEnable); }

    HWND m_hWnd = NULL;

protected:
    // Every message of a subclassed window arrives here first. The default
    // offers it to OnWndMsg and then to the original procedure.
    virtual LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // The window's message table; true when the message was handled.
    virtual bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // The original procedure with the given message.
    LRESULT DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);

    // Ties a window to its object without subclassing (dialogs have their own procedure).
    void Attach(HWND hWnd);
    void Detach();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;
};
