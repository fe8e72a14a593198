// A link in text: blue and underlined, red while the mouse is over it, with
// the hand cursor; a press and release of the left button on it raises
// "Click".
#pragma once

#include "markup/elements/Span.h"

class CXTPMarkupHyperlink : public CXTPMarkupSpan
{
    DECLARE_MARKUPCLASS(CXTPMarkupHyperlink)
public:
    CXTPMarkupHyperlink();

    // "Click" of links and buttons: bubbles from the link through its
    // ancestors to the host's handlers.
    static CXTPMarkupDependencyProperty* m_pClickEvent;
    static void RegisterMarkupProperties();

    BOOL IsPressed() const { return m_bPressed; }

    void OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseLeftButtonUp(CXTPMarkupEventArgs* pArgs) override;
    // A press that leaves the link is given up: the link holds no capture,
    // so its release may come anywhere, and a later release over the link
    // must not click for it.
    void OnMouseLeave(CXTPMarkupEventArgs* pArgs) override;

private:
    BOOL m_bPressed;
};
