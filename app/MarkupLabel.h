// A static control of the dialog template that shows a markup tree instead of
// plain text, double-buffered over the button-face colour.
#pragma once

#include "framework/Controls.h"
#include "framework/MessageMap.h"

#include <string>

class CMarkupLabel : public CStatic
{
public:
    CMarkupLabel() = default;

    // Code page 936 markup. The window text becomes the plain text it shows,
    // so that screen readers (and other programs) can read the label.
    void SetMarkupText(const char* pszMarkup);
    const std::string& GetMarkupText() const { return m_strMarkupText; }

    // The text content of markup without its tags, entities decoded.
    static std::wstring PlainTextOf(const std::wstring& strMarkup);

protected:
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    MessageResult OnPaint(WPARAM wParam, LPARAM lParam);
    MessageResult OnEraseBackground(WPARAM wParam, LPARAM lParam);
    MessageResult OnSize(WPARAM wParam, LPARAM lParam);

    std::string m_strMarkupText;
};
