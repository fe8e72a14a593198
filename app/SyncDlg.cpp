#include "app/SyncDlg.h"

#include "app/DialogMarkup.h"
#include "app/ProgramText.h"
#include "app/SingleInstance.h"
#include "app/WindowDpi.h"
#include "app/res/Resource.h"
#include "framework/DataExchange.h"

#include <algorithm>
#include <string>

CSyncDlg::CSyncDlg(bool bAutostart, HWND hParent)
    : CDialog(IDD_CLOCKFIX_DIALOG, hParent), m_controller(*this, m_platform),
      m_hIcon(::LoadIconW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_MAINFRAME))), m_bAutostart(bAutostart)
{
}

CSyncDlg::~CSyncDlg() = default;

void CSyncDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.Control(IDC_SYNC, m_btnSync);
    exchange.Control(IDC_CLOCK, m_lblClock);
    exchange.Control(IDC_INFO, m_lblInfo);
    exchange.Check(IDC_AUTORUN, m_controller.m_bAutoRun);
    exchange.Check(IDC_AUTOSYNC, m_controller.m_bAutoSync);
    exchange.ListIndex(IDC_SYNCSPAN, m_controller.m_nSyncSpan);
}

BOOL CSyncDlg::OnInitDialog()
{
    // Plain templates carry no items for a drop-down list: they come first,
    // so that the first data exchange can select one.
    FillIntervalList();
    CDialog::OnInitDialog();

    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_controller.Start();
    m_lblInfo.SetMarkupText(kInfoMarkup);

    m_btnSync.UseMarkupCaption(TRUE);
    m_btnSync.SetWindowText(WidenProgramText(kButtonFaceMarkup));
    m_btnSync.m_bDrawFocusFrame = FALSE;

    m_nDpi = WindowDpi(m_hWnd);
    m_layout.Capture(m_hWnd, m_nDpi);

    EnableIntervalList(m_controller.m_bAutoSync);
    UpdateData(FALSE);
    // Made the dialog's default id, not only drawn as the default: Enter
    // then presses it wherever the focus is.
    ::SendMessageW(m_hWnd, DM_SETDEFID, IDC_SYNC, 0);
    ::SetTimer(m_hWnd, kTickTimer, CSyncController::kTimerPeriodMs, NULL);
    if (m_pInstance)
        m_pInstance->PublishWindow(m_hWnd);
    if (!m_bAutostart)
        return TRUE;
    m_bStartingMinimised = true;
    ::ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
    ::SetTimer(m_hWnd, kMinimiseTimer, kMinimiseDelayMs, NULL);
    return FALSE;
}

void CSyncDlg::FillIntervalList()
{
    HINSTANCE hInstance = ::GetModuleHandleW(NULL);
    for (UINT nId : {IDS_SYNCSPAN_30MIN, IDS_SYNCSPAN_1HOUR, IDS_SYNCSPAN_2HOURS})
    {
        wchar_t szItem[64] = {};
        ::LoadStringW(hInstance, nId, szItem, 64);
        ::SendDlgItemMessageW(m_hWnd, IDC_SYNCSPAN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szItem));
    }
}

bool CSyncDlg::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    static const CMessageMap<CSyncDlg>::Entry kMessages[] = {
        OnNotify(BN_CLICKED, IDC_SYNC, &CSyncDlg::OnSyncNow),
        OnNotify(BN_CLICKED, IDC_AUTORUN, &CSyncDlg::OnAutoRunClicked),
        OnNotify(BN_CLICKED, IDC_AUTOSYNC, &CSyncDlg::OnAutoSyncClicked),
        OnNotify(CBN_CLOSEUP, IDC_SYNCSPAN, &CSyncDlg::OnIntervalChosen),
        // A choice made with the keyboard while the list is closed sends no
        // close-up; it is saved at once all the same.
        OnNotify(CBN_SELCHANGE, IDC_SYNCSPAN, &CSyncDlg::OnIntervalChosen),
        OnMessage(WM_TIMER, &CSyncDlg::OnTimer),
        OnMessage(WM_PAINT, &CSyncDlg::OnPaint),
        OnMessage(WM_QUERYDRAGICON, &CSyncDlg::OnQueryDragIcon),
        OnMessage(WM_QUERYOPEN, &CSyncDlg::OnQueryOpen),
        OnMessage(WM_WINDOWPOSCHANGING, &CSyncDlg::OnWindowPosChanging),
        OnMessage(kSyncDoneMessage, &CSyncDlg::OnSyncDone),
        OnMessage(WM_SETCURSOR, &CSyncDlg::OnSetCursor),
        OnMessage(WM_DESTROY, &CSyncDlg::OnDestroy),
        OnMessage(WM_DPICHANGED, &CSyncDlg::OnDpiChanged),
        OnMessage(WM_SYSCOLORCHANGE, &CSyncDlg::OnColorsChanged),
        OnMessage(WM_THEMECHANGED, &CSyncDlg::OnColorsChanged),
    };
    if (nMessage == CSingleInstance::WakeMessage())
    {
        lResult = OnWake(wParam, lParam).lResult;
        return true;
    }
    return CMessageMap<CSyncDlg>::Dispatch(kMessages, this, nMessage, wParam, lParam, lResult);
}

void CSyncDlg::OnSyncNow()
{
    m_controller.SyncNow();
}

void CSyncDlg::OnOK()
{
    OnSyncNow();
}

void CSyncDlg::OnAutoRunClicked()
{
    UpdateData(TRUE);
    m_controller.OnAutostartChanged();
}

void CSyncDlg::OnAutoSyncClicked()
{
    UpdateData(TRUE);
    m_controller.OnAutoSyncChanged();
}

void CSyncDlg::OnIntervalChosen()
{
    UpdateData(TRUE);
    m_controller.OnIntervalChanged();
}

MessageResult CSyncDlg::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam == kTickTimer)
        m_controller.OnTick();
    if (wParam == kMinimiseTimer)
    {
        ::KillTimer(m_hWnd, kMinimiseTimer);
        m_bStartingMinimised = false;
        // Some systems show a modal dialog normally once its queue first
        // empties; the dialog goes back down without taking the focus.
        if (!::IsIconic(m_hWnd))
            ::ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
        m_controller.StartAutomatic();
    }
    return MessageResult::NotHandled();
}

MessageResult CSyncDlg::OnPaint(WPARAM, LPARAM)
{
    if (!::IsIconic(m_hWnd))
        return MessageResult::NotHandled();
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    const RECT rc = GetClientRect();
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(hDC, (rc.right - rc.left - cxIcon + 1) / 2, (rc.bottom - rc.top - cyIcon + 1) / 2, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return MessageResult::Handled();
}

MessageResult CSyncDlg::OnQueryDragIcon(WPARAM, LPARAM)
{
    return MessageResult::Handled(reinterpret_cast<LRESULT>(m_hIcon));
}

MessageResult CSyncDlg::OnQueryOpen(WPARAM, LPARAM)
{
    if (!m_bStartingMinimised)
        return MessageResult::NotHandled();
    return MessageResult::Handled(FALSE);
}

MessageResult CSyncDlg::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    // Until the start is over, nothing the dialog box's own showing does may
    // take the focus from the user's window.
    if (m_bStartingMinimised)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOACTIVATE;
    return MessageResult::NotHandled();
}

MessageResult CSyncDlg::OnWake(WPARAM, LPARAM)
{
    // The user asked for the window: the start at logon no longer holds it down.
    m_bStartingMinimised = false;
    if (::IsIconic(m_hWnd))
        ::ShowWindow(m_hWnd, SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
    return MessageResult::Handled();
}

void CSyncDlg::ShowResult(LPCSTR pszMessage)
{
    m_lblClock.SetMarkupText(ResultPanelMarkup(pszMessage).c_str());
    FitResultPanel();
}

void CSyncDlg::FitResultPanel()
{
    HWND hPanel = m_lblClock.m_hWnd;
    HWND hSeparator = NULL;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if ((::GetWindowLongPtrW(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ)
            hSeparator = hChild;
    }
    const RECT rcTemplate = m_layout.PlaceOf(hPanel, m_nDpi);
    const int nLowest = hSeparator ? m_layout.PlaceOf(hSeparator, m_nDpi).top : rcTemplate.bottom;
    const SIZE szText = m_lblClock.MeasureMarkup(rcTemplate.right - rcTemplate.left);
    const int cy =
        std::max<int>(rcTemplate.bottom - rcTemplate.top, std::min<int>(szText.cy, nLowest - rcTemplate.top));
    RECT rcNow = {};
    ::GetWindowRect(hPanel, &rcNow);
    if (rcNow.bottom - rcNow.top == cy)
        return;
    // Growing uncovers nothing; shrinking leaves dialog background below.
    ::SetWindowPos(hPanel, NULL, 0, 0, rcTemplate.right - rcTemplate.left, cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MessageResult CSyncDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const RECT& rcSuggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(m_hWnd, NULL, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                   rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(LOWORD(wParam));
    return MessageResult::Handled();
}

void CSyncDlg::ApplyDpi(int nDpi)
{
    m_nDpi = nDpi;
    // Wherever the system has already scaled the controls, this places them
    // the same; where it has not, it is the only scaling they get.
    m_layout.Apply(nDpi);
    m_lblInfo.SetDpi(nDpi);
    m_lblClock.SetDpi(nDpi);
    m_btnSync.SetDpi(nDpi);
    FitResultPanel();
    ::RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

MessageResult CSyncDlg::OnColorsChanged(WPARAM wParam, LPARAM lParam)
{
    // Only top-level windows are told of a new colour scheme.
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        ::SendMessageW(hChild, WM_SYSCOLORCHANGE, wParam, lParam);
    ::RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    return MessageResult::NotHandled();
}

void CSyncDlg::EnableIntervalList(BOOL bEnable)
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SYNCSPAN), bEnable);
}

void CSyncDlg::SetAutostartCheck(BOOL bChecked)
{
    ::CheckDlgButton(m_hWnd, IDC_AUTORUN, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

void CSyncDlg::SetBusy(BOOL bBusy)
{
    const HWND hButton = m_btnSync.m_hWnd;
    m_bBusy = bBusy != FALSE;
    if (m_bBusy)
    {
        // Disabling the focused button would leave the focus nowhere and the
        // keyboard dead: it goes on to the next control meanwhile.
        m_hFocusBeforeSync = ::GetFocus();
        if (m_hFocusBeforeSync == hButton)
            ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, FALSE);
        m_hFocusParked = ::GetFocus();
        ::EnableWindow(hButton, FALSE);
    }
    else
    {
        ::EnableWindow(hButton, TRUE);
        const HWND hFocus = ::GetFocus();
        // Given back only when the user has not put it elsewhere meanwhile.
        if (m_hFocusBeforeSync == hButton && (hFocus == NULL || hFocus == m_hWnd || hFocus == m_hFocusParked))
            ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hButton), TRUE);
        m_hFocusBeforeSync = NULL;
        m_hFocusParked = NULL;
    }
    RefreshCursor();
}

void CSyncDlg::PostSyncDone()
{
    ::PostMessageW(m_hWnd, kSyncDoneMessage, 0, 0);
}

MessageResult CSyncDlg::OnSyncDone(WPARAM, LPARAM)
{
    m_controller.OnSyncDone();
    return MessageResult::Handled();
}

MessageResult CSyncDlg::OnSetCursor(WPARAM, LPARAM lParam)
{
    // The whole client area, the disabled button included, shows that the
    // program is working and still answers.
    if (!m_bBusy || LOWORD(lParam) != HTCLIENT)
        return MessageResult::NotHandled();
    ::SetCursor(::LoadCursorA(NULL, IDC_APPSTARTING));
    return MessageResult::Handled(TRUE);
}

void CSyncDlg::RefreshCursor()
{
    POINT point;
    if (!::GetCursorPos(&point))
        return;
    const HWND hUnder = ::WindowFromPoint(point);
    if (hUnder != m_hWnd && !::IsChild(m_hWnd, hUnder))
        return;
    ::SetCursor(::LoadCursorA(NULL, m_bBusy ? IDC_APPSTARTING : IDC_ARROW));
}

MessageResult CSyncDlg::OnDestroy(WPARAM, LPARAM)
{
    // Before the window goes: the worker must neither post to it nor set the
    // clock for a user who has closed the program.
    m_controller.Stop();
    return MessageResult::NotHandled();
}
