// The program's dialog while it synchronises, driven from a timer inside its
// own modal loop against a time server of the test.
#include "app/SyncDlg.h"

#include "SyncTestSupport.h"
#include "app/res/Resource.h"
#include "support/SntpResponder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
const UINT kStepMs = 20;
const DWORD kGiveUpMs = 30000;

// Steps run one after the other from a thread timer while the dialog's modal
// loop runs; a step answers true when it is done.
class CDialogScript
{
public:
    using Step = std::function<bool(HWND hDialog)>;

    explicit CDialogScript(std::vector<Step> steps) : m_steps(std::move(steps)) {}

    // Runs the dialog until a step ends it (or the script gives up).
    void Run(CSyncDlg& dialog)
    {
        s_pCurrent = this;
        m_dwStart = GetTickCount();
        const UINT_PTR nTimer = SetTimer(NULL, 0, kStepMs, &CDialogScript::OnTimer);
        dialog.DoModal();
        KillTimer(NULL, nTimer);
        s_pCurrent = nullptr;
    }

    size_t StepsDone() const { return m_nStep; }

private:
    static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
    {
        if (GetDlgItem(hWnd, IDC_SYNC) == NULL)
            return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        CDialogScript& script = *s_pCurrent;
        HWND hDialog = NULL;
        EnumThreadWindows(GetCurrentThreadId(), &CDialogScript::FindDialog, reinterpret_cast<LPARAM>(&hDialog));
        if (hDialog == NULL || !IsWindowVisible(hDialog))
            return;
        if (GetTickCount() - script.m_dwStart > kGiveUpMs)
        {
            ADD_FAILURE() << "gave up at step " << script.m_nStep;
            EndDialog(hDialog, IDABORT);
        }
        else if (script.m_nStep < script.m_steps.size() && script.m_steps[script.m_nStep](hDialog))
            ++script.m_nStep;
    }

    static inline CDialogScript* s_pCurrent = nullptr;
    std::vector<Step> m_steps;
    size_t m_nStep = 0;
    DWORD m_dwStart = 0;
};

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[512] = {};
    GetWindowTextW(hWnd, text, 512);
    return text;
}

// The cursor the dialog sets for the pointer over its client area.
HCURSOR CursorOverClient(HWND hDialog)
{
    SetCursor(NULL);
    SendMessageW(hDialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(hDialog), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

void Click(HWND hDialog)
{
    SendMessageW(hDialog, WM_COMMAND, MAKEWPARAM(IDC_SYNC, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDC_SYNC)));
}

class SyncDialogTest : public testing::Test
{
protected:
    // A server 30 s ahead: the platform refuses so large a step, and the clock
    // is never set.
    SyncDialogTest()
    {
        m_folder.Write("[general]\r\nserver=127.0.0.1:" + std::to_string(m_responder.GetPort()) + "\r\n");
    }

    CSntpResponder m_responder;
    CSettingsFolder m_folder;
};
} // namespace

TEST_F(SyncDialogTest, TheButtonRestsWhileItSynchronisesAndTheFocusComesBack)
{
    m_responder.SetBehaviour(Serving(30, CSntpResponder::None, 500));
    const HCURSOR hBusyCursor = LoadCursorA(NULL, IDC_APPSTARTING);
    CDialogScript script({
        [](HWND hDialog)
        {
            // It opens in the middle of the work area.
            RECT rcWindow = {};
            GetWindowRect(hDialog, &rcWindow);
            MONITORINFO monitor = {sizeof(monitor), {}, {}, 0};
            GetMonitorInfoW(MonitorFromWindow(hDialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
            EXPECT_NEAR(rcWindow.left + rcWindow.right, monitor.rcWork.left + monitor.rcWork.right, 1);
            EXPECT_NEAR(rcWindow.top + rcWindow.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);
            EXPECT_EQ(GetFocus(), GetDlgItem(hDialog, IDC_SYNC));
            Click(hDialog);
            return true;
        },
        [&](HWND hDialog)
        {
            const HWND hButton = GetDlgItem(hDialog, IDC_SYNC);
            EXPECT_FALSE(IsWindowEnabled(hButton));
            EXPECT_EQ(TextOf(GetDlgItem(hDialog, IDC_CLOCK)), L"正在与授时服务器校时，请稍候…");
            EXPECT_EQ(CursorOverClient(hDialog), hBusyCursor);
            // The keyboard still has a control to work on.
            EXPECT_NE(GetFocus(), hButton);
            EXPECT_TRUE(IsChild(hDialog, GetFocus()));
            Click(hDialog);
            return true;
        },
        [&](HWND hDialog)
        {
            const HWND hButton = GetDlgItem(hDialog, IDC_SYNC);
            if (!IsWindowEnabled(hButton))
                return false;
            EXPECT_EQ(TextOf(GetDlgItem(hDialog, IDC_CLOCK)).rfind(L"更新本机系统时间失败！", 0), 0u);
            EXPECT_EQ(GetFocus(), hButton);
            EXPECT_NE(CursorOverClient(hDialog), hBusyCursor);
            EndDialog(hDialog, IDOK);
            return true;
        },
    });
    CSyncDlg dialog;
    script.Run(dialog);
    EXPECT_EQ(script.StepsDone(), 3u);
    EXPECT_EQ(m_responder.GetRequestCount(), CSntpQuery::kMaxRequests) << "the second click synchronised again";
}

TEST_F(SyncDialogTest, ClosingDuringASynchronisationTakesNoLongerThanClosingIdle)
{
    // Wine takes a while to let an active window go without a window manager:
    // the same dialog closed idle is the yardstick.
    m_responder.SetBehaviour(Serving(30, CSntpResponder::Silent));
    DWORD closingMs[2] = {};
    for (bool bSyncing : {false, true})
    {
        DWORD dwClosed = 0;
        CDialogScript script({
            [&](HWND hDialog)
            {
                if (bSyncing)
                    Click(hDialog);
                return true;
            },
            [&](HWND hDialog)
            {
                if (bSyncing && m_responder.GetRequestCount() == 0)
                    return false;
                dwClosed = GetTickCount();
                SendMessageW(hDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            },
        });
        CSyncDlg dialog;
        script.Run(dialog);
        EXPECT_EQ(script.StepsDone(), 2u);
        closingMs[bSyncing] = GetTickCount() - dwClosed;
    }
    EXPECT_EQ(m_responder.GetRequestCount(), 1);
    EXPECT_LT(closingMs[1], closingMs[0] + 500) << "closed idle in " << closingMs[0] << " ms";
}
