#include "framework/Dialog.h"

#include "framework/DataExchange.h"

CDialog::CDialog(UINT nTemplateId, HWND hParent) : m_nTemplateId(nTemplateId), m_hParent(hParent) {}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = ::GetModuleHandleW(NULL);
    return ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(m_nTemplateId), m_hParent, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(m_hWnd, bSaveAndValidate);
    DoDataExchange(exchange);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_INITDIALOG)
    {
        CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
        pDialog->Attach(hWnd);
        return pDialog->OnInitDialog();
    }
    CDialog* pDialog = static_cast<CDialog*>(FromHandle(hWnd));
    if (pDialog == nullptr)
        return FALSE;
    if (nMessage == WM_NCDESTROY)
    {
        pDialog->Detach();
        return FALSE;
    }

    LRESULT lResult = 0;
    if (pDialog->OnWndMsg(nMessage, wParam, lParam, lResult))
    {
        ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    if (nMessage == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        if (LOWORD(wParam) == IDOK)
        {
            pDialog->OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            pDialog->OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}
