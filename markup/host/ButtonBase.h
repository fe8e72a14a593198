// What every button shares: it is pressed from a left button down on it until
// the button goes up, holding the mouse meanwhile, and clicks when the button
// goes up with the pointer still over it. It draws with the system's button
// visual style when one is in use.
#pragma once

#include "markup/host/ContentControl.h"

#include "toolkit/ThemeHandle.h"

class CXTPMarkupButtonBase : public CXTPMarkupContentControl
{
    DECLARE_MARKUPCLASS(CXTPMarkupButtonBase)
public:
    static CXTPMarkupDependencyProperty* m_pIsPressedProperty; // Bool, False; re-arranges
    // Bubbles from the button through its ancestors to the host's handlers;
    // a hyperlink raises the same event.
    static CXTPMarkupDependencyProperty* m_pClickEvent;
    static void RegisterMarkupProperties();

    // Pressed and with the pointer over it: how the button looks.
    BOOL IsPressed() const;

    void OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseLeftButtonUp(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseEnter(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseLeave(CXTPMarkupEventArgs* pArgs) override;
    void OnLostMouseCapture(CXTPMarkupEventArgs* pArgs) override;

protected:
    CXTPMarkupButtonBase();

    void SetPressed(BOOL bPressed);
    // A release of the left button over the pressed button: raises "Click".
    virtual void OnClick();

    BOOL IsMouseOver() const;
    // The "BUTTON" style data, opened afresh at every measuring (so a change
    // of the system's style shows at the next layout); closed when the
    // system draws without a style or the classic look is asked for.
    void OpenTheme();
    const CXTPThemeHandle& GetTheme() const { return m_theme; }

private:
    BOOL m_bPressed;
    BOOL m_bMouseInside; // the pointer is over the button while it is pressed
    CXTPThemeHandle m_theme;
};
