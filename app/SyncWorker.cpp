#include "app/SyncWorker.h"

#include "app/SyncPlatform.h"

#include <mutex>
#include <thread>
#include <vector>

// Shared by the window thread and the worker, so that a worker left behind
// by Cancel never reaches into freed memory.
struct CSyncWorker::Job
{
    explicit Job(CSyncPlatform& platform) : platform(platform) {}
    ~Job()
    {
        ::CloseHandle(hCancel);
        ::CloseHandle(hFinished);
    }

    CSyncPlatform& platform;
    CServerList servers;
    std::function<void()> onDone;
    Outcome outcome;
    HANDLE hCancel = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hFinished = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    // Held while the clock is set and while onDone runs; cancelling takes it
    // too, so neither happens once Cancel has returned.
    std::mutex mutex;
    bool bCancelled = false;
    std::thread thread;
};

CSyncWorker::CSyncWorker(CSyncPlatform& platform) : m_platform(platform) {}

CSyncWorker::~CSyncWorker()
{
    Cancel();
}

BOOL CSyncWorker::Start(const CServerList& servers, std::function<void()> onDone)
{
    if (m_pJob)
        return FALSE;
    auto pJob = std::make_shared<Job>(m_platform);
    pJob->servers = servers;
    pJob->onDone = std::move(onDone);
    pJob->thread = std::thread(&CSyncWorker::Run, pJob);
    m_pJob = pJob;
    return TRUE;
}

CSyncWorker::Outcome CSyncWorker::Finish(CServerList& servers)
{
    if (!m_pJob)
        return Outcome();
    const std::shared_ptr<Job> pJob = std::move(m_pJob);
    // onDone is the worker's last act but one: this wait is short.
    pJob->thread.join();
    for (size_t nIndex = 0; nIndex < pJob->servers.GetCount() && nIndex < servers.GetCount(); ++nIndex)
        if (pJob->servers.IsRefused(nIndex))
            servers.MarkRefused(nIndex);
    return pJob->outcome;
}

void CSyncWorker::Cancel()
{
    if (!m_pJob)
        return;
    const std::shared_ptr<Job> pJob = std::move(m_pJob);
    {
        std::lock_guard<std::mutex> lock(pJob->mutex);
        pJob->bCancelled = true;
        ::SetEvent(pJob->hCancel);
    }
    if (::WaitForSingleObject(pJob->hFinished, kCancelWaitMs) == WAIT_OBJECT_0)
        pJob->thread.join();
    else
        pJob->thread.detach(); // it holds its own reference to the job
}

void CSyncWorker::Run(const std::shared_ptr<Job>& pJob)
{
    Job& job = *pJob;
    CSntpQuery query(job.platform.GetClock());
    query.SetCancelEvent(job.hCancel);
    Outcome& outcome = job.outcome;
    outcome.bAnswered = Measure(job.platform, query, job.servers, outcome.sample, outcome.nServer);
    {
        std::lock_guard<std::mutex> lock(job.mutex);
        if (!job.bCancelled)
        {
            if (outcome.bAnswered)
            {
                // The target is taken at the moment of setting, so the time
                // spent choosing the sample does not count against it.
                const CNtpStamp target = CNtpStamp::Now(job.platform.GetClock()) + outcome.sample.dOffset;
                outcome.bClockSet = job.platform.SetClockTo(query, target);
            }
            job.onDone();
        }
    }
    ::SetEvent(job.hFinished);
}

BOOL CSyncWorker::Measure(CSyncPlatform& platform, CSntpQuery& query, CServerList& servers, SntpResult& result,
                          size_t& nServer)
{
    query.SetDeadline(::GetTickCount() + kBudgetMs);
    std::vector<int> requestsSent(servers.GetCount(), 0);
    for (int nAttempt = 0; nAttempt < kAttempts; ++nAttempt)
    {
        const size_t nIndex = servers.ForAttempt(nAttempt);
        // Cancelled: the platform may be gone with the window.
        if (nIndex == CServerList::kNone || query.IsCancelled())
            return FALSE;
        const CServerAddress& server = servers.GetAt(nIndex);
        query.SetRequestLimit(CSntpQuery::kMaxRequests - requestsSent[nIndex]);
        const BOOL bAnswered = platform.QueryServer(query, server.strHost.c_str(), server.nPort, result);
        const DWORD dwError = ::GetLastError();
        requestsSent[nIndex] += query.GetRequestsSent();
        if (bAnswered)
        {
            nServer = nIndex;
            return TRUE;
        }
        if (dwError == CSntpQuery::kRefusedError)
            servers.MarkRefused(nIndex);
    }
    return FALSE;
}
