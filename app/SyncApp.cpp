#include "app/SyncApp.h"

#include "app/ModuleDir.h"
#include "app/SyncDlg.h"

BOOL CSyncApp::InitInstance()
{
    InitModuleDir();
    CSyncDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
