// The baseline of the start benchmark: the program's own dialog template,
// icon and manifest, run by the system's dialog manager alone, with no markup
// and no framework. What clockfix.exe costs beyond this is its own.
#include "Resource.h"

#include <windows.h>

namespace
{
INT_PTR CALLBACK BareDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM /*lParam*/)
{
    switch (uMsg)
    {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        {
            ::EndDialog(hDlg, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*pszCmdLine*/, int /*nCmdShow*/)
{
    const INT_PTR nResult =
        ::DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_CLOCKFIX_DIALOG), NULL, BareDialogProc, 0);
    return nResult == -1 ? 1 : 0;
}
