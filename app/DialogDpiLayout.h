// A dialog's controls laid out again for another DPI: where the dialog box
// made them from its template, scaled, with the template's font scaled too.
#pragma once

#include "toolkit/GdiHandles.h"

#include <windows.h>

#include <vector>

class CDialogDpiLayout
{
public:
    // The places of hDialog's controls and its font as they are now, at nDpi.
    void Capture(HWND hDialog, int nDpi);

    // Every captured control moved and sized for nDpi, and given the font at
    // nDpi; the captured layout itself at the captured DPI. The controls are
    // not redrawn.
    void Apply(int nDpi);

    // Where hChild was captured, in the dialog's client coordinates, scaled
    // to nDpi; empty for a window not captured.
    RECT PlaceOf(HWND hChild, int nDpi) const;

    int GetCapturedDpi() const { return m_nDpi; }

private:
    struct Place
    {
        HWND hWnd;
        RECT rc;
    };

    RECT Scale(const RECT& rc, int nDpi) const;

    HWND m_hDialog = NULL;
    int m_nDpi = 96;
    std::vector<Place> m_places;
    LOGFONTW m_lfFont = {};
    bool m_bHasFont = false;
    CXTPGdiObject<HFONT> m_hFont; // the font at the last DPI applied, other than the captured one
};
