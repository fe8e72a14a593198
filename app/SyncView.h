// What the synchronisation controller asks of its window.
#pragma once

#include <windows.h>

class CSyncView
{
public:
    virtual ~CSyncView() = default;

    // A result message (code page 936 markup text) for the result panel.
    virtual void ShowResult(LPCSTR pszMessage) = 0;
    virtual void EnableIntervalList(BOOL bEnable) = 0;
    // The registry refused the user's autostart choice; the check box goes
    // back to what is really registered.
    virtual void SetAutostartCheck(BOOL bChecked) = 0;
    // While a synchronisation runs: the button disabled, the busy cursor.
    virtual void SetBusy(BOOL bBusy) = 0;
    // Called on the worker thread when a synchronisation has its outcome:
    // only posts, so that the window thread calls OnSyncDone.
    virtual void PostSyncDone() = 0;
};
