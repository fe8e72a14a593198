// Tooltips for the parts of a window that are not windows themselves: the
// window's owner is asked which part (tool) lies under the mouse, and one
// common-controls tooltip window is kept in step with the answer.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

class CMarkupToolTipRelay
{
public:
    // Whoever knows the parts of the window.
    class ISite
    {
    public:
        // The tool under the mouse, or -1. When a tool is answered and
        // pInfo->cbSize allowed it, pInfo holds its window, rectangle (client
        // coordinates) and text; a text other than LPSTR_TEXTCALLBACKA was
        // allocated with malloc and is freed by the relay.
        virtual INT_PTR ToolHitTest(TOOLINFOA* pInfo) = 0;

    protected:
        ~ISite() = default;
    };

    // The plain look: a rectangle with the text, shown after the system's
    // hover delay. The only style there is.
    static constexpr int kStylePlain = 7;

    explicit CMarkupToolTipRelay(ISite* pSite);
    ~CMarkupToolTipRelay();
    CMarkupToolTipRelay(const CMarkupToolTipRelay&) = delete;
    CMarkupToolTipRelay& operator=(const CMarkupToolTipRelay&) = delete;

    void SetStyle(int nStyle) { m_nStyle = nStyle; }
    int GetStyle() const { return m_nStyle; }

    // A mouse message of hWnd (WM_MOUSEFIRST to WM_MBUTTONDBLCLK, or
    // WM_MOUSELEAVE) with the cursor's screen position; anything else is
    // ignored. The tooltip window is made for hWnd on first use.
    void RelayMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, POINT ptCursor);

    // Hides the tip and forgets the tool, as when the mouse leaves.
    void Reset();

    HWND GetToolTipWindow() const { return m_hWndToolTip; }
    // The tool shown for (its identifier and text), -1 and empty for none.
    INT_PTR GetCurrentTool() const { return m_nCurrentTool; }
    const std::string& GetToolText() const { return m_strToolText; }
    // Messages given to the tooltip window so far.
    UINT GetRelayedCount() const { return m_nRelayed; }

private:
    BOOL EnsureToolTipWindow(HWND hWnd);
    void DestroyToolTipWindow();
    void SetTool(INT_PTR nTool, const RECT& rcTool, std::string&& strText);
    void RemoveTool();

    ISite* m_pSite; // the owner of this relay
    int m_nStyle;
    HWND m_hWndOwner;
    HWND m_hWndToolTip;
    INT_PTR m_nCurrentTool;
    RECT m_rcTool;
    std::string m_strToolText;
    UINT m_nRelayed;
};
