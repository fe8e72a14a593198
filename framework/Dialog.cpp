#include "framework/Dialog.h"

#include "framework/DataExchange.h"

namespace
{
// The messages whose answer Windows reads from the dialog procedure's return
// value; for every other one it reads DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT nMessage)
{
    switch (nMessage)
    {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG: return true;
    default: return false;
    }
}
} // namespace

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
        if (ReturnsResultDirectly(nMessage))
            return static_cast<INT_PTR>(lResult);
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
