// The program's one window: the dialog made from template 102, its controls
// bound to the controller's settings, the two markup panels and the markup
// button, and the message table that calls the controller.
#pragma once

#include "app/Button.h"
#include "app/DialogDpiLayout.h"
#include "app/MarkupLabel.h"
#include "app/SyncController.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"

class CSingleInstance;

class CSyncDlg : public CDialog, private CSyncView
{
public:
    // bAutostart: started at logon, so minimised and without the focus.
    explicit CSyncDlg(bool bAutostart = false, HWND hParent = NULL);
    ~CSyncDlg() override;

    static constexpr UINT_PTR kTickTimer = 1;
    static constexpr UINT_PTR kMinimiseTimer = 2;
    // Wine shows a modal dialog normally when its queue first empties, which
    // undoes an earlier minimise; by this time it has.
    static constexpr UINT kMinimiseDelayMs = 200;

    // Told the dialog's window once it exists, so later copies can wake it.
    CSingleInstance* m_pInstance = nullptr;
    // Posted by the synchronisation's worker when it has its outcome.
    static constexpr UINT kSyncDoneMessage = WM_APP + 1;

private:
    CSyncPlatform m_platform; // before the controller, which keeps a reference

public:
    CSyncController m_controller;
    CXTPButton m_btnSync;
    CMarkupLabel m_lblClock; // the result panel
    CMarkupLabel m_lblInfo;  // the information panel
    HICON m_hIcon;
    const bool m_bAutostart;
    bool m_bStartingMinimised = false;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    // Enter synchronises wherever the focus is; only Escape ends the program.
    void OnOK() override;
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    void OnSyncNow();
    void OnAutoRunClicked();
    void OnAutoSyncClicked();
    void OnIntervalChosen();
    MessageResult OnTimer(WPARAM wParam, LPARAM lParam);
    MessageResult OnPaint(WPARAM wParam, LPARAM lParam);
    MessageResult OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    MessageResult OnWake(WPARAM wParam, LPARAM lParam);
    // Started at logon: the dialog stays down until the start is over.
    MessageResult OnQueryOpen(WPARAM wParam, LPARAM lParam);
    MessageResult OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    MessageResult OnSyncDone(WPARAM wParam, LPARAM lParam);
    MessageResult OnSetCursor(WPARAM wParam, LPARAM lParam);
    MessageResult OnDestroy(WPARAM wParam, LPARAM lParam);
    // Moved to a monitor of another DPI: the suggested rectangle, then
    // everything inside laid out again for the new DPI.
    MessageResult OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // The stock controls and the markup follow a new colour scheme at once.
    MessageResult OnColorsChanged(WPARAM wParam, LPARAM lParam);

    // What the controller asks of the window.
    void ShowResult(LPCSTR pszMessage) override;
    void EnableIntervalList(BOOL bEnable) override;
    void SetAutostartCheck(BOOL bChecked) override;
    void SetBusy(BOOL bBusy) override;
    void PostSyncDone() override;

    void FillIntervalList();
    // The cursor the pointer shows over the window now, without waiting for it to move.
    void RefreshCursor();

    bool m_bBusy = false;
    HWND m_hFocusBeforeSync = NULL;
    HWND m_hFocusParked = NULL; // where the focus went while the button was disabled
    void ApplyDpi(int nDpi);
    // The result panel as tall as its text asks, from its template height
    // down to the separator line, so that a long result wraps and shows whole.
    void FitResultPanel();

    CDialogDpiLayout m_layout;
    int m_nDpi = 96;
};
