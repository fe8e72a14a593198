// The face of a push button in each of its states: the classic look drawn
// with the system colours, or the active visual style's look.
#pragma once

#include "toolkit/ThemeHandle.h"

#include <windows.h>

class CXTPButtonTheme
{
public:
    // What the button is doing at the moment it is drawn.
    struct State
    {
        bool bHot = false;
        bool bPressed = false;
        bool bFocused = false;
        bool bDisabled = false;
        bool bDefault = false;
    };

    // What the face leaves to the caption drawn on top of it.
    struct Face
    {
        RECT rcText;  // the caption's area, moved with a pressed classic face
        RECT rcFocus; // where the focus rectangle goes
        COLORREF clrText;
    };

    // Reopens the style data for the button window; needed once before the
    // first face and again on WM_THEMECHANGED. A null window is allowed.
    void RefreshMetrics(HWND hWnd);
    // Keeps the classic look even while a visual style is active.
    void SetClassicLook(bool bClassic) { m_bClassicLook = bClassic; }
    bool IsVisualStyle() const { return !m_bClassicLook && m_style.IsOpen(); }

    // Draws the background of the face over rc. hWnd is the button, whose
    // parent shows through a style's rounded corners; it may be null.
    Face DrawFace(HDC hDC, HWND hWnd, const RECT& rc, const State& state) const;
    void DrawFocus(HDC hDC, const Face& face) const;

private:
    Face DrawClassicFace(HDC hDC, const RECT& rc, const State& state) const;
    Face DrawStyledFace(HDC hDC, HWND hWnd, const RECT& rc, const State& state) const;

    CXTPThemeHandle m_style;
    bool m_bClassicLook = false;
};
