// A modal dialog made from a template resource: initialisation, data
// exchange with its controls, and the default OK and Cancel handling.
#pragma once

#include "framework/Window.h"

class CDataExchange;

class CDialog : public CWindow
{
public:
    CDialog(UINT nTemplateId, HWND hParent = NULL);

    // Runs the dialog's own message loop until EndDialog; the end code.
    INT_PTR DoModal();
    void EndDialog(INT_PTR nResult);

    // Reads the controls into the members (true) or writes the members to the controls.
    void UpdateData(BOOL bSaveAndValidate);

protected:
    // Default: the first data exchange; true lets the dialog choose the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& exchange);
    // Enter: read the controls and end with IDOK. Escape: end with IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId;
    HWND m_hParent;
};
