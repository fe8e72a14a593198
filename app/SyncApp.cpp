#include "app/SyncApp.h"

#include "app/Autostart.h"
#include "app/ModuleDir.h"
#include "app/SingleInstance.h"
#include "app/SyncDlg.h"

BOOL CSyncApp::InitInstance()
{
    // Two copies would overwrite each other's settings and both synchronise.
    CSingleInstance instance;
    if (!instance.IsFirst())
    {
        instance.WakeFirst();
        return FALSE;
    }
    InitModuleDir();
    CSyncDlg dialog(CAutostart::IsAutostartCommandLine(::GetCommandLineW()));
    dialog.m_pInstance = &instance;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
