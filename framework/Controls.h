// The stock controls as window objects. Classes: CStatic, CButton.
#pragma once

#include "framework/Window.h"

class CStatic : public CWindow
{
};

class CButton : public CWindow
{
public:
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int nCheck) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
};
