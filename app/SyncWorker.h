// One synchronisation on a thread of its own, so that the window keeps
// answering: the servers asked in turn, the best sample, the clock set. The
// window hears of the end through a callback that only posts a message.
#pragma once

#include "app/ServerList.h"
#include "app/SntpQuery.h"

#include <windows.h>

#include <functional>
#include <memory>

class CSyncPlatform;

class CSyncWorker
{
public:
    static constexpr int kAttempts = 3;
    // Three attempts of up to 5 s: the longest a synchronisation may take.
    static constexpr DWORD kBudgetMs = kAttempts * CSntpQuery::kReplyTimeoutMs;
    // How long closing waits for a worker stuck in name resolution, which no
    // event can cut short; the process ends with it afterwards.
    static constexpr DWORD kCancelWaitMs = 700;

    struct Outcome
    {
        BOOL bAnswered = FALSE;
        BOOL bClockSet = FALSE;
        SntpResult sample;
        size_t nServer = CServerList::kNone; // the server that answered
    };

    explicit CSyncWorker(CSyncPlatform& platform);
    // Cancels a synchronisation still running.
    ~CSyncWorker();
    CSyncWorker(const CSyncWorker&) = delete;
    CSyncWorker& operator=(const CSyncWorker&) = delete;

    // Starts a synchronisation with a copy of the list; FALSE, starting
    // nothing, while one is running. onDone runs on the worker thread when
    // the outcome is ready, never after Cancel has returned.
    BOOL Start(const CServerList& servers, std::function<void()> onDone);
    // From Start until Finish.
    bool IsBusy() const { return m_pJob != nullptr; }
    // After onDone: the outcome. The list learns which servers refused us.
    Outcome Finish(CServerList& servers);
    // Ends a running synchronisation: its waits end at once, the clock is
    // not set afterwards and onDone is not called. Returns within
    // kCancelWaitMs.
    void Cancel();

    // The measuring part of a synchronisation, on the calling thread: three
    // attempts going round the list, ending by the budget, and the best
    // sample of the first server that answers. Servers that send a
    // kiss-o'-death are marked refused.
    static BOOL Measure(CSyncPlatform& platform, CSntpQuery& query, CServerList& servers, SntpResult& result,
                        size_t& nServer);

private:
    struct Job;
    static void Run(const std::shared_ptr<Job>& pJob);

    CSyncPlatform& m_platform;
    std::shared_ptr<Job> m_pJob;
};
