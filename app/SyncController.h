// The logic of the main dialog: the settings it keeps, when it synchronises
// automatically, one synchronisation as the user sees it, and the texts that
// report it. The window binds its controls to the public members and calls
// the operations from its message handlers.
#pragma once

#include "app/ServerList.h"
#include "app/SettingsStore.h"
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
    // After a start at logon that found no server (the network often comes
    // up later): the waits before each further try.
    static constexpr DWORD kStartRetryDelaysMs[] = {15 * 1000, 60 * 1000, 5 * 60 * 1000};
    static constexpr int kStartRetries = 3;

    CSyncController(CSyncView& view, CSyncPlatform& platform);
    CSyncController(const CSyncController&) = delete;
    CSyncController& operator=(const CSyncController&) = delete;

    // Loads the settings; no synchronisation.
    void Start();

    void LoadSettings();
    // Says so in the result panel when the settings could not be kept.
    void SaveSettings();
    // Adds or removes the autostart; FALSE when the system refused.
    BOOL SetAutostart(BOOL bAdd, LPCSTR pszName);

    // Timer 1: synchronises when automatic synchronisation is due.
    void OnTick();
    // Starts a synchronisation on a worker and returns; nothing while one runs.
    void SyncNow();
    // Started at logon: with automatic synchronisation on, synchronises at
    // once and, while no server answers, again after each start retry delay.
    void StartAutomatic();
    // Where every synchronisation's outcome arrives.
    void ReportResult(ResultKind kind, double dOffset);
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
    CSettingsStore Settings() const;
    void LoadServer(const CSettingsStore& settings);

    CSyncView& m_view;
    CSyncPlatform& m_platform;
    CServerList m_servers;
    int m_nStartRetry = -1;     // index of the next start retry delay; -1 for none
    bool m_bRetryArmed = false; // a result said no server answered
    DWORD m_dwRetryFrom = 0;    // tick count of that result
    CSyncWorker m_worker;       // last: it may call the view until it is gone
};
