#include "app/SntpQuery.h"

#include "SyncTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace
{
const char* const kLoopback = "127.0.0.1";

class SntpQueryTest : public testing::Test
{
protected:
    BOOL Query(SntpResult& result, LPCSTR pszHost = kLoopback)
    {
        return CSntpQuery().QueryServer(pszHost, result, m_responder.GetPort());
    }

    // A query that gives up after dwBudgetMs; the milliseconds it took.
    DWORD QueryWithin(DWORD dwBudgetMs, SntpResult& result, BOOL& bAnswered)
    {
        CSntpQuery query;
        const DWORD dwStart = GetTickCount();
        query.SetDeadline(dwStart + dwBudgetMs);
        bAnswered = query.QueryServer(kLoopback, result, m_responder.GetPort());
        return GetTickCount() - dwStart;
    }

    // The sample with the least delay of up to ten, as NTP clients choose: a
    // thread scheduled late (two cores, a responder in this process, builds
    // running beside the tests) skews one sample by up to half its delay.
    BOOL QueryBest(SntpResult& best, LPCSTR pszHost = kLoopback)
    {
        const double kQuietDelay = 0.001;
        for (int i = 0; i < 10; ++i)
        {
            SntpResult sample;
            if (!Query(sample, pszHost))
                return FALSE;
            if (i == 0 || sample.dDelay < best.dDelay)
                best = sample;
            if (best.dDelay < kQuietDelay)
                break;
        }
        return TRUE;
    }

    // Within a millisecond, or within half the round trip when the machine
    // was too busy for a quiet sample: no exchange can do better than that.
    static double ErrorBound(const SntpResult& result) { return std::max(0.001, result.dDelay / 2); }

    CSntpResponder m_responder;
};
} // namespace

TEST(SntpResult, OffsetAndDelayFollowTheFourTimestamps)
{
    // Local clock 10 s behind, 0.05 s transit each way, 1 ms turnaround.
    SntpResult result;
    result.originate = CNtpStamp(uint64_t(3974400000) << 32);
    result.receive = result.originate + 10.05;
    result.transmit = result.receive + 0.001;
    result.destination = result.originate + 0.101;
    result.Measure();
    EXPECT_NEAR(result.dOffset, 10.0, 1e-6);
    EXPECT_NEAR(result.dDelay, 0.1, 1e-6);
}

TEST_F(SntpQueryTest, SendsClientRequests)
{
    SntpResult result;
    ASSERT_TRUE(Query(result));
    EXPECT_EQ(m_responder.GetRequestCount(), CSntpQuery::kMaxRequests);
    const std::vector<BYTE> request = m_responder.GetLastRequest();
    ASSERT_EQ(request.size(), 48u);
    EXPECT_EQ(request[0], 0x1B);
    for (size_t i = 1; i < 40; ++i)
        ASSERT_EQ(request[i], 0) << "byte " << i;
    // The transmit stamp is our clock now, and the server echoes it back.
    EXPECT_NEAR(CNtpStamp::FromNetwork(request.data() + 40) - result.originate, 0.0, 1.0);
    EXPECT_NEAR(CNtpStamp::Now() - result.originate, 0.0, 1.0);
}

TEST_F(SntpQueryTest, MeasuresAServerAheadOrBehind)
{
    // The server's turnaround counts neither as delay nor as offset; extension
    // fields or a MAC after the 48 bytes are passed over.
    const struct
    {
        double dClockAhead;
        DWORD dwTurnaroundMs;
        int nReplyBytes;
        LPCSTR pszHost;
    } cases[] = {{37, 0, 48, kLoopback}, {-20, 100, 48, kLoopback}, {-3, 0, 120, kLoopback}, {1, 0, 48, "localhost"}};
    for (const auto& c : cases)
    {
        CSntpResponder::Behaviour behaviour;
        behaviour.dClockAhead = c.dClockAhead;
        behaviour.dwTurnaroundMs = c.dwTurnaroundMs;
        behaviour.nReplyBytes = c.nReplyBytes;
        m_responder.SetBehaviour(behaviour);
        SntpResult result;
        ASSERT_TRUE(QueryBest(result, c.pszHost)) << c.dClockAhead;
        EXPECT_NEAR(result.dOffset, c.dClockAhead, ErrorBound(result));
        EXPECT_GE(result.dDelay, -0.002) << c.dClockAhead;
        EXPECT_LT(result.dDelay, 0.1) << c.dClockAhead;
        EXPECT_EQ(result.nStratum, 2);
        EXPECT_EQ(result.nLeapIndicator, 0);
    }
}

TEST_F(SntpQueryTest, WaitsForASlowReply)
{
    // A reply held back on its way home shows as delay, and half of it as offset.
    m_responder.SetBehaviour(Serving(5, CSntpResponder::None, 1000));
    SntpResult result;
    ASSERT_TRUE(Query(result));
    EXPECT_GE(result.dDelay, 0.99);
    EXPECT_LT(result.dDelay, 1.5);
    EXPECT_NEAR(result.dOffset, 5.0 - result.dDelay / 2, 0.01);
}

TEST_F(SntpQueryTest, SendsNoMoreRequestsThanItsLimit)
{
    const struct
    {
        int nLimit;
        int nSent;
    } cases[] = {{0, 1}, {1, 1}, {3, 3}, {CSntpQuery::kMaxRequests + 5, CSntpQuery::kMaxRequests}};
    for (const auto& c : cases)
    {
        const int nBefore = m_responder.GetRequestCount();
        CSntpQuery query;
        query.SetRequestLimit(c.nLimit);
        SntpResult result;
        ASSERT_TRUE(query.QueryServer(kLoopback, result, m_responder.GetPort()));
        EXPECT_EQ(query.GetRequestsSent(), c.nSent) << c.nLimit;
        EXPECT_EQ(m_responder.GetRequestCount() - nBefore, c.nSent) << c.nLimit;
    }
}

TEST_F(SntpQueryTest, KeepsTheSampleWithTheLeastDelay)
{
    // Replies held back on their way home: the one that was not is chosen,
    // wherever it comes, and each late one skews its offset by half its delay.
    const std::vector<DWORD> delaysMs[] = {{300, 0, 200, 100}, {0, 300, 300, 300}, {200, 200, 200, 0}};
    for (const std::vector<DWORD>& delays : delaysMs)
    {
        CSntpResponder::Behaviour behaviour;
        behaviour.dClockAhead = 37;
        behaviour.extraDelaysMs = delays;
        m_responder.SetBehaviour(behaviour);
        const int nRequestsBefore = m_responder.GetRequestCount();
        SntpResult result;
        ASSERT_TRUE(CSntpQuery().QueryServer(kLoopback, result, m_responder.GetPort()));
        EXPECT_EQ(m_responder.GetRequestCount() - nRequestsBefore, CSntpQuery::kMaxRequests);
        EXPECT_LT(result.dDelay, 0.09) << delays[0] << "," << delays[1];
        EXPECT_NEAR(result.dOffset, 37.0, 0.045);
    }
}

TEST_F(SntpQueryTest, WaitsASecondAtMostForEachFurtherSample)
{
    CSntpResponder::Behaviour behaviour;
    behaviour.dClockAhead = 8;
    behaviour.extraDelaysMs = {0, 1500, 1500, 1500};
    m_responder.SetBehaviour(behaviour);
    const DWORD dwStart = GetTickCount();
    SntpResult result;
    ASSERT_TRUE(Query(result));
    const DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_GE(dwElapsed, 2900u);
    EXPECT_LT(dwElapsed, 6000u); // five seconds each would take over fifteen
    EXPECT_NEAR(result.dOffset, 8.0, ErrorBound(result));
    EXPECT_LT(result.dDelay, 0.5);
}

TEST_F(SntpQueryTest, SkipsDatagramsThatAreNotSaneAnswersAndWaitsForOne)
{
    const CSntpResponder::Fault faults[] = {
        CSntpResponder::ShortReply, CSntpResponder::ClientMode,   CSntpResponder::Version0,
        CSntpResponder::Version5,   CSntpResponder::Stratum0,     CSntpResponder::Stratum16,
        CSntpResponder::Leap3,      CSntpResponder::ZeroTransmit, CSntpResponder::WrongOriginate,
    };
    for (CSntpResponder::Fault fault : faults)
    {
        // Just before the proper reply: it is the one used.
        CSntpResponder::Behaviour behaviour = Serving(30, fault);
        behaviour.bThenAnswer = true;
        m_responder.SetBehaviour(behaviour);
        SntpResult result;
        BOOL bAnswered = FALSE;
        QueryWithin(3000, result, bAnswered);
        EXPECT_TRUE(bAnswered) << "fault " << fault;
        EXPECT_NEAR(result.dOffset, 30.0, ErrorBound(result)) << "fault " << fault;
        EXPECT_EQ(result.nStratum, 2) << "fault " << fault;

        // Alone: the wait goes on to its end.
        behaviour.bThenAnswer = false;
        m_responder.SetBehaviour(behaviour);
        SetLastError(0);
        const DWORD dwElapsed = QueryWithin(400, result, bAnswered);
        EXPECT_FALSE(bAnswered) << "fault " << fault;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAETIMEDOUT)) << "fault " << fault;
        EXPECT_GE(dwElapsed, 350u) << "fault " << fault;
        EXPECT_LT(dwElapsed, 1000u) << "fault " << fault;
    }
}

TEST_F(SntpQueryTest, AKissOfDeathEndsTheQueryAtOnce)
{
    for (CSntpResponder::Fault fault : {CSntpResponder::KissDeny, CSntpResponder::KissRstr, CSntpResponder::KissRate})
    {
        m_responder.SetBehaviour(Serving(30, fault));
        const int nRequestsBefore = m_responder.GetRequestCount();
        SntpResult result;
        BOOL bAnswered = TRUE;
        SetLastError(0);
        EXPECT_LT(QueryWithin(3000, result, bAnswered), 1000u) << "fault " << fault;
        EXPECT_FALSE(bAnswered);
        EXPECT_EQ(GetLastError(), CSntpQuery::kRefusedError) << "fault " << fault;
        EXPECT_EQ(m_responder.GetRequestCount() - nRequestsBefore, 1);
    }
}

TEST_F(SntpQueryTest, ACancelEventEndsTheWaitAtOnce)
{
    m_responder.SetBehaviour(Serving(30, CSntpResponder::Silent));
    HANDLE hCancel = CreateEventW(NULL, TRUE, FALSE, NULL);
    CSntpQuery query;
    query.SetCancelEvent(hCancel);
    std::thread canceller(
        [hCancel]
        {
            Sleep(200);
            SetEvent(hCancel);
        });
    const DWORD dwStart = GetTickCount();
    SntpResult result;
    EXPECT_FALSE(query.QueryServer(kLoopback, result, m_responder.GetPort()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_LT(GetTickCount() - dwStart, 1000u);
    EXPECT_TRUE(query.IsCancelled());
    canceller.join();
    CloseHandle(hCancel);
}

TEST_F(SntpQueryTest, GivesUpAfterFiveSecondsWithoutAReply)
{
    m_responder.SetBehaviour(Serving(30, CSntpResponder::Silent));
    SntpResult result;
    const DWORD dwStart = GetTickCount();
    EXPECT_FALSE(Query(result));
    const DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(WSAETIMEDOUT));
    EXPECT_GE(dwElapsed, 4900u);
    EXPECT_LT(dwElapsed, 7000u);
}
