// A static control of the dialog template that shows a markup tree instead of
// plain text, double-buffered over the button-face colour, with the tree's
// mouse handling (hot elements, cursors, tooltips) routed through its host.
#pragma once

#include "framework/Controls.h"
#include "framework/MessageMap.h"

#include <string>

class CXTPMarkupHost;
class CXTPMarkupUIElement;

class CMarkupLabel : public CStatic
{
public:
    CMarkupLabel();
    ~CMarkupLabel() override;

    // Code page 936 markup, whatever the system's code page. The window text
    // becomes the plain text it shows (MarkupPlainText), so that screen
    // readers (and other programs) can read the label.
    void SetMarkupText(const char* pszMarkup);
    const std::string& GetMarkupText() const { return m_strMarkupText; }

    // The parsed tree, or null when there is no text or it is not markup.
    CXTPMarkupUIElement* GetRoot() const { return m_pRoot; }
    CXTPMarkupHost* GetMarkupContext() const { return m_pMarkupContext; }

    // The tree is laid out for the label window's DPI, read at every
    // SetMarkupText; SetDpi lays it out anew for another (the window moved
    // to another monitor).
    void SetDpi(int nDpi);
    int GetDpi() const;

    // The size the tree asks for when cx pixels are available across and any
    // height down; (0, 0) without a tree.
    SIZE MeasureMarkup(int cx);

protected:
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    MessageResult OnPaint(WPARAM wParam, LPARAM lParam);
    MessageResult OnEraseBackground(WPARAM wParam, LPARAM lParam);
    MessageResult OnSize(WPARAM wParam, LPARAM lParam);
    MessageResult OnSetText(WPARAM wParam, LPARAM lParam);
    MessageResult OnColorsChanged(WPARAM wParam, LPARAM lParam);
    void Reparse();

    // The label is the host context of its tree: one reference, owned.
    CXTPMarkupHost* m_pMarkupContext;
    CXTPMarkupUIElement* m_pRoot; // one reference, or null
    std::string m_strMarkupText;
};
