// The logic of the main dialog: the settings it keeps, when it synchronises
// automatically, one synchronisation as the user sees it, and the texts that
// report it. The window binds its controls to the public members and calls
// the operations from its message handlers.
#pragma once

#include "app/ServerList.h"
#include "app/SyncWorker.h"

#include <windows.h>

#include <string>

class CSyncPlatform;
class CSyncView;

class CSyncController
{
public:
    enum ResultKind
    {
        NoAnswer,
        SetWasFast,
        SetWasSlow,
        NotSetWasFast,
        NotSetWasSlow,
        ResultKindCount,
    };

    static constexpr const char* kAutostartName = "clockfix";
    static constexpr DWORD kTimerPeriodMs = 5000;
    static constexpr int kAttempts = CSyncWorker::kAttempts;

    CSyncController(CSyncView& view, CSyncPlatform& platform);
    CSyncController(const CSyncController&) = delete;
    CSyncController& operator=(const CSyncController&) = delete;

    // Starts the socket library and loads the settings; no synchronisation.
    void Start();

    void LoadSettings();
    void SaveSettings();
    // Adds or removes the autostart value; FALSE when the registry refused.
    BOOL SetAutostart(BOOL bAdd, LPCSTR pszName);

    // Timer 1: synchronises when automatic synchronisation is due.
    void OnTick();
    // Starts a synchronisation on a worker and returns; nothing while one runs.
    void SyncNow();
    // On the window thread, when the view's posted message arrives.
    void OnSyncDone();
    bool IsSyncing() const { return m_worker.IsBusy(); }
    // The window is going: a running synchronisation ends without setting
    // the clock or calling the view.
    void Stop();

    // After the window has read its controls into the members.
    void OnAutostartChanged();
    void OnAutoSyncChanged();
    void OnIntervalChanged();

    void ShowResult(LPCSTR pszMessage);

    // A result message with the absolute offset in it.
    static std::string FormatResult(ResultKind kind, double dOffset);
    // Milliseconds between automatic synchronisations; 0 for no interval.
    static DWORD IntervalOf(int nSyncSpan);

    // The time servers from the settings, or the public ones.
    const CServerList& GetServers() const { return m_servers; }

    DWORD m_dwLastAutoSync = 0; // tick count at the last automatic synchronisation
    BOOL m_bAutoRun = 0;
    BOOL m_bAutoSync = 0;
    int m_nSyncSpan = -1; // index into the interval list; -1 for no selection

private:
    std::string SettingsPath() const;
    void LoadServer(const std::string& strPath);

    CSyncView& m_view;
    CSyncPlatform& m_platform;
    CServerList m_servers;
    CSyncWorker m_worker; // last: it may call the view until it is gone
};
