#include "FrameworkTestIds.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace
{
const UINT kScriptMessage = WM_APP + 1;
const UINT kPlainMessage = WM_APP + 2;
const LRESULT kAnswer = 0x5A5A;

// Answered by the dialog procedure's return value, not DWLP_MSGRESULT.
const UINT kDirectMessages[] = {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORDLG,  WM_COMPAREITEM,
                                WM_VKEYTOITEM,     WM_CHARTOITEM,  WM_QUERYDRAGICON};

// A label that keeps its own record of the texts it was given.
class CRecordingLabel : public CStatic
{
public:
    std::vector<std::wstring> m_texts;

protected:
    bool OnWndMsg(UINT nMessage, WPARAM, LPARAM lParam, LRESULT&) override
    {
        if (nMessage == WM_SETTEXT)
            m_texts.push_back(reinterpret_cast<const wchar_t*>(lParam));
        return false; // the static control still stores the text
    }
};

// A dialog that runs a scripted sequence of user actions against itself.
class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(IDD_TEST) {}

    BOOL m_bChecked = TRUE;
    int m_nIndex = 2;
    CRecordingLabel m_label;
    std::vector<std::string> m_events;
    HWND m_hLabelDuringRun = NULL;
    std::vector<LRESULT> m_answers; // kDirectMessages, then kPlainMessage

protected:
    BOOL OnInitDialog() override
    {
        for (const wchar_t* pszItem : {L"zero", L"one", L"two"})
            ::SendDlgItemMessageW(m_hWnd, IDC_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszItem));
        CDialog::OnInitDialog();
        m_events.push_back("init check=" + std::to_string(::IsDlgButtonChecked(m_hWnd, IDC_CHECK))
                           + " index=" + std::to_string(::SendDlgItemMessageW(m_hWnd, IDC_LIST, CB_GETCURSEL, 0, 0)));
        ::PostMessageW(m_hWnd, kScriptMessage, 0, 0);
        return TRUE;
    }

    void DoDataExchange(CDataExchange& exchange) override
    {
        exchange.Control(IDC_LABEL, m_label);
        exchange.Check(IDC_CHECK, m_bChecked);
        exchange.ListIndex(IDC_LIST, m_nIndex);
    }

    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override
    {
        static const CMessageMap<CTestDialog>::Entry kMessages[] = {
            OnMessage(kScriptMessage, &CTestDialog::OnScript),
            OnNotify(BN_CLICKED, IDC_GO, &CTestDialog::OnGo),
            OnNotify(BN_CLICKED, IDC_CHECK, &CTestDialog::OnCheck),
            OnMessage(WM_TIMER, &CTestDialog::OnTimer),
            OnMessage(kPlainMessage, &CTestDialog::OnAnswer),
            OnMessage(WM_CTLCOLORSTATIC, &CTestDialog::OnAnswer),
            OnMessage(WM_CTLCOLORBTN, &CTestDialog::OnAnswer),
            OnMessage(WM_CTLCOLORDLG, &CTestDialog::OnAnswer),
            OnMessage(WM_COMPAREITEM, &CTestDialog::OnAnswer),
            OnMessage(WM_VKEYTOITEM, &CTestDialog::OnAnswer),
            OnMessage(WM_CHARTOITEM, &CTestDialog::OnAnswer),
            OnMessage(WM_QUERYDRAGICON, &CTestDialog::OnAnswer),
        };
        return CMessageMap<CTestDialog>::Dispatch(kMessages, this, nMessage, wParam, lParam, lResult);
    }

    void OnCancel() override
    {
        m_events.push_back("cancel");
        CDialog::OnCancel();
    }

private:
    MessageResult OnScript(WPARAM, LPARAM)
    {
        m_hLabelDuringRun = m_label.m_hWnd;
        for (UINT nMessage : kDirectMessages)
            m_answers.push_back(::SendMessageW(m_hWnd, nMessage, 0, 0));
        m_answers.push_back(::SendMessageW(m_hWnd, kPlainMessage, 0, 0));
        ::SetDlgItemTextW(m_hWnd, IDC_LABEL, L"hello");
        ::SendDlgItemMessageW(m_hWnd, IDC_GO, BM_CLICK, 0, 0);
        ::SendDlgItemMessageW(m_hWnd, IDC_LIST, CB_SETCURSEL, 1, 0);
        ::SendDlgItemMessageW(m_hWnd, IDC_CHECK, BM_CLICK, 0, 0);
        ::SetTimer(m_hWnd, 7, 10, NULL);
        return MessageResult::Handled();
    }

    MessageResult OnTimer(WPARAM wParam, LPARAM)
    {
        ::KillTimer(m_hWnd, wParam);
        m_events.push_back("timer");
        // Escape goes through the dialog's own keyboard handling.
        HWND hFocus = ::GetDlgItem(m_hWnd, IDC_GO);
        ::SetFocus(hFocus);
        ::PostMessageW(hFocus, WM_KEYDOWN, VK_ESCAPE, 0);
        return MessageResult::NotHandled();
    }

    MessageResult OnAnswer(WPARAM, LPARAM) { return MessageResult::Handled(kAnswer); }

    void OnGo() { m_events.push_back("go"); }

    void OnCheck()
    {
        UpdateData(TRUE);
        m_events.push_back("check=" + std::to_string(m_bChecked) + " index=" + std::to_string(m_nIndex));
    }
};
} // namespace

TEST(Dialog, RunsFromItsTemplateAndRoutesMessagesThroughItsTable)
{
    CTestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_events,
              (std::vector<std::string>{"init check=1 index=2", "go", "check=0 index=1", "timer", "cancel"}));
}

TEST(Dialog, SubclassesTemplateControlsForTheirLifetime)
{
    CTestDialog dialog;
    dialog.DoModal();
    EXPECT_NE(dialog.m_hLabelDuringRun, HWND(NULL));
    // The label saw the text first, and the control stored it as usual.
    EXPECT_EQ(dialog.m_label.m_texts, (std::vector<std::wstring>{L"hello"}));
    // The window is gone, and the object let go of it.
    EXPECT_EQ(dialog.m_label.m_hWnd, HWND(NULL));
    EXPECT_EQ(dialog.m_hWnd, HWND(NULL));
}

TEST(Dialog, AnswersEveryMessageWhereWindowsReadsIt)
{
    CTestDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(dialog.m_answers, std::vector<LRESULT>(std::size(kDirectMessages) + 1, kAnswer));
}
