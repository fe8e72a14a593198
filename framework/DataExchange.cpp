#include "framework/DataExchange.h"

#include "framework/Window.h"

void CDataExchange::Control(UINT nId, CWindow& control)
{
    if (control.m_hWnd == NULL)
        control.SubclassDlgItem(nId, m_hDialog);
}

void CDataExchange::Check(UINT nId, BOOL& bValue)
{
    HWND hControl = ::GetDlgItem(m_hDialog, static_cast<int>(nId));
    if (m_bSaveAndValidate)
        bValue = ::SendMessageW(hControl, BM_GETCHECK, 0, 0) == BST_CHECKED;
    else
        ::SendMessageW(hControl, BM_SETCHECK, bValue ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CDataExchange::ListIndex(UINT nId, int& nIndex)
{
    HWND hControl = ::GetDlgItem(m_hDialog, static_cast<int>(nId));
    if (m_bSaveAndValidate)
        nIndex = static_cast<int>(::SendMessageW(hControl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(hControl, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}
