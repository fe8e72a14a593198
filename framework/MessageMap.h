// A window's message table: one line per message, command or notification it
// handles, so that a reader sees at once which message goes where.
//
//   static const CMessageMap<CSyncDlg>::Entry kMessages[] = {
//       OnMessage(WM_TIMER, &CSyncDlg::OnTimer),
//       OnNotify(BN_CLICKED, IDC_SYNC, &CSyncDlg::OnSyncNow),
//   };
#pragma once

#include <windows.h>

#include <cstddef>

// The outcome of a message handler: whether the window handled the message,
// and the result it answers with.
struct MessageResult
{
    bool bHandled;
    LRESULT lResult;

    static MessageResult Handled(LRESULT lResult = 0) { return {true, lResult}; }
    static MessageResult NotHandled() { return {false, 0}; }
};

template <class TWindow> class CMessageMap
{
public:
    using MessageHandler = MessageResult (TWindow::*)(WPARAM wParam, LPARAM lParam);
    using NotifyHandler = void (TWindow::*)();

    struct Entry
    {
        UINT nMessage; // WM_... ; WM_COMMAND for control notifications
        UINT nCode;    // notification code of a WM_COMMAND entry
        UINT nId;      // control id of a WM_COMMAND entry
        MessageHandler pMessage;
        NotifyHandler pNotify;
    };

    template <size_t N>
    static bool Dispatch(const Entry (&entries)[N], TWindow* pWindow, UINT nMessage, WPARAM wParam, LPARAM lParam,
                         LRESULT& lResult)
    {
        for (const Entry& entry : entries)
        {
            if (entry.nMessage != nMessage)
                continue;
            if (entry.pNotify)
            {
                if (HIWORD(wParam) != entry.nCode || LOWORD(wParam) != entry.nId)
                    continue;
                (pWindow->*entry.pNotify)();
                lResult = 0;
                return true;
            }
            const MessageResult result = (pWindow->*entry.pMessage)(wParam, lParam);
            lResult = result.lResult;
            return result.bHandled;
        }
        return false;
    }
};

template <class TWindow>
typename CMessageMap<TWindow>::Entry OnMessage(UINT nMessage, MessageResult (TWindow::*pHandler)(WPARAM, LPARAM))
{
    return {nMessage, 0, 0, pHandler, nullptr};
}

template <class TWindow>
typename CMessageMap<TWindow>::Entry OnNotify(UINT nCode, UINT nId, void (TWindow::*pHandler)())
{
    return {WM_COMMAND, nCode, nId, nullptr, pHandler};
}
