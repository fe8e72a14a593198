// Moves values between a dialog's controls and its members, in either direction.
#pragma once

#include <windows.h>

class CWindow;

class CDataExchange
{
public:
    CDataExchange(HWND hDialog, BOOL bSaveAndValidate) : m_hDialog(hDialog), m_bSaveAndValidate(bSaveAndValidate) {}

    // Subclasses the template's control with the object, the first time only.
    void Control(UINT nId, CWindow& control);
    // A check box's state (BST_CHECKED is 1) and a member flag.
    void Check(UINT nId, BOOL& bValue);
    // A list's selected index; -1 for no selection.
    void ListIndex(UINT nId, int& nIndex);

    HWND m_hDialog;
    BOOL m_bSaveAndValidate;
};
