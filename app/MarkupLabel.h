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
    // becomes the plain text it shows, so that screen readers (and other
    // programs) can read the label.
    void SetMarkupText(const char* pszMarkup);
    const std::string& GetMarkupText() const { return m_strMarkupText; }

    // The parsed tree, or null when there is no text or it is not markup.
    CXTPMarkupUIElement* GetRoot() const { return m_pRoot; }
    CXTPMarkupHost* GetMarkupContext() const { return m_pMarkupContext; }

    // The text content of markup without its tags, entities decoded.
    static std::wstring PlainTextOf(const std::wstring& strMarkup);

protected:
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    MessageResult OnPaint(WPARAM wParam, LPARAM lParam);
    MessageResult OnEraseBackground(WPARAM wParam, LPARAM lParam);
    MessageResult OnSize(WPARAM wParam, LPARAM lParam);

    // The label is the host context of its tree: one reference, owned.
    CXTPMarkupHost* m_pMarkupContext;
    CXTPMarkupUIElement* m_pRoot; // one reference, or null
    std::string m_strMarkupText;
};
