// The visual-style data of one window for one class of controls, owned for
// as long as the object lives. The style functions are found at run time, so
// the program also starts where uxtheme.dll or a theme is missing; the
// handle then stays closed and its callers draw the classic look.
#pragma once

#include <windows.h>

#include <uxtheme.h>

class CXTPThemeHandle
{
public:
    CXTPThemeHandle() = default;
    ~CXTPThemeHandle() { Close(); }
    CXTPThemeHandle(const CXTPThemeHandle&) = delete;
    CXTPThemeHandle& operator=(const CXTPThemeHandle&) = delete;

    // Opens the data for hWnd (which may be null) and a class list such as
    // L"BUTTON", closing what was open first; false when the window or the
    // system draws without a style, or the process asked for the classic look.
    bool Open(HWND hWnd, LPCWSTR pszClassList);
    void Close();
    bool IsOpen() const { return m_hTheme != NULL; }

    // Whether the system draws with a visual style for this process.
    static bool IsThemeActive();
    // Makes every later Open fail, so that controls draw the classic look
    // while the system has a style (false goes back to the style).
    static void SetClassicLook(bool bClassic);
    static bool IsClassicLook();
    // How many handles of the process hold theme data now: what leak checks
    // compare.
    static long GetOpenCount();

    bool DrawBackground(HDC hDC, int nPart, int nState, const RECT& rc) const;
    // The part's content area inside rc; rc itself when the style has none.
    RECT GetContentRect(HDC hDC, int nPart, int nState, const RECT& rc) const;
    bool GetColor(int nPart, int nState, int nProperty, COLORREF& clr) const;
    bool IsPartiallyTransparent(int nPart, int nState) const;

    // Lets the parent of hWnd paint its background into hDC under rc (in
    // hWnd's client coordinates); false when the system cannot.
    static bool DrawParentBackground(HWND hWnd, HDC hDC, const RECT& rc);

private:
    HTHEME m_hTheme = NULL;
};
