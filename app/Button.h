// The push button that draws its whole face itself, through the toolkit's
// button theme: hot tracking, pressed, focused, default and disabled states,
// a caption that is either the window text or a markup tree.
#pragma once

#include "framework/Controls.h"
#include "framework/MessageMap.h"
#include "toolkit/ButtonTheme.h"

#include <memory>
#include <string>

class CXTPMarkupHost;
class CXTPMarkupUIElement;

class CXTPButton : public CButton
{
public:
    CXTPButton();
    ~CXTPButton() override;

    // With markup on, a new window text is the caption's markup: the button
    // keeps it and stores the plain text a person reads as its window text,
    // for screen readers. Switched on, the current window text is the markup.
    void UseMarkupCaption(BOOL bUseMarkup);
    const std::wstring& GetCaptionMarkup() const { return m_strCaptionMarkup; }
    BOOL IsMarkupCaption() const { return m_bMarkupCaption; }

    // The markup caption is laid out for the window's DPI, read at every
    // parse; SetDpi lays it out anew for another.
    void SetDpi(int nDpi);

    // The mouse is over the button (until the leave notification).
    BOOL IsHot() const { return m_bHot; }
    CXTPButtonTheme& GetTheme() { return *m_pTheme; }

    // Draw the dotted focus rectangle while the button has the focus.
    BOOL m_bDrawFocusFrame;

protected:
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    // The caption, drawn over the face's background in the face's text area
    // and colour. The default draws the markup caption when there is one,
    // else the window text.
    virtual void DrawCaption(HDC hDC, const CXTPButtonTheme::Face& face);

    // The whole face: background, caption and focus rectangle.
    void DrawButton(HDC hDC);
    CXTPButtonTheme::State GetState();

private:
    MessageResult OnPaint(WPARAM wParam, LPARAM lParam);
    MessageResult OnPrintClient(WPARAM wParam, LPARAM lParam);
    MessageResult OnEraseBackground(WPARAM wParam, LPARAM lParam);
    MessageResult OnMouseMove(WPARAM wParam, LPARAM lParam);
    MessageResult OnMouseLeave(WPARAM wParam, LPARAM lParam);
    MessageResult OnSetText(WPARAM wParam, LPARAM lParam);
    MessageResult OnThemeChanged(WPARAM wParam, LPARAM lParam);
    MessageResult OnSysColorChange(WPARAM wParam, LPARAM lParam);
    MessageResult OnDestroy(WPARAM wParam, LPARAM lParam);

    // The stock procedure with the message, kept from painting its own face.
    LRESULT DefWindowProcUnpainted(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void DrawTextCaption(HDC hDC, const CXTPButtonTheme::Face& face);
    void SetHot(BOOL bHot);
    void EnsureMetrics();

    // Markup caption: the seams the markup host fills in.
    void CreateMarkupContext();
    void ReleaseMarkupCaption();
    void ReparseMarkupCaption();
    void ParseCaption();
    bool DrawMarkupCaption(HDC hDC, const CXTPButtonTheme::Face& face);
    bool OfferToMarkup(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    std::unique_ptr<CXTPButtonTheme> m_pTheme;
    BOOL m_bMarkupCaption;
    CXTPMarkupHost* m_pMarkupContext;        // one reference, null while markup is off
    CXTPMarkupUIElement* m_pMarkupUIElement; // one reference, null without a parsed caption
    std::wstring m_strCaptionMarkup;
    BOOL m_bHot;
    HWND m_hMetricsWnd; // the window the theme's style data was opened for
};
