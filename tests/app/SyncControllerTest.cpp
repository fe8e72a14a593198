#include "app/SyncController.h"

#include "SyncTestSupport.h"
#include "support/SntpResponder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace
{
const char* const kNoAnswer = u8"校时失败！无法与授时服务器建立链接，请确认您是否已经联网！";
const char* const kSetFast = u8"已经成功校时！您的系统时间比标准时间快了";
const char* const kSetSlow = u8"已经成功校时！您的系统时间比标准时间慢了";
const char* const kNotSetFast = u8"更新本机系统时间失败！您的系统时间比标准时间快了";
const char* const kNotSetSlow = u8"更新本机系统时间失败！您的系统时间比标准时间慢了";
const char* const kBusy = u8"正在与授时服务器校时，请稍候…";

std::string OffsetText(const char* pszHead, const std::string& strNumber)
{
    return Cp936FromUtf8(pszHead) + "<Run Foreground='Red' FontWeight='Bold'>" + strNumber + "</Run>"
           + Cp936FromUtf8(u8"秒！");
}

// The busy text, then the result.
std::vector<std::string> Shown(const std::string& strResult)
{
    return {Cp936FromUtf8(kBusy), strResult};
}

class SyncControllerTest : public testing::Test
{
protected:
    // One synchronisation, to its end on this thread.
    void Sync()
    {
        m_controller.SyncNow();
        ASSERT_TRUE(m_view.WaitForSync(m_controller));
    }

    CSettingsFolder m_folder;
    CRecordingView m_view;
    CFakeSyncPlatform m_platform;
    CSyncController m_controller{m_view, m_platform};
};
} // namespace

TEST_F(SyncControllerTest, ReportsTheOffsetBySignAndByWhetherTheClockWasSet)
{
    const struct
    {
        double dOffset;
        BOOL bClockSet;
        const char* pszHead;
        const char* pszNumber;
    } cases[] = {
        {0.0, TRUE, kSetFast, "0.0000"},           {-0.0, TRUE, kSetFast, "0.0000"},
        {-0.00004, TRUE, kSetFast, "0.0000"},      {-2.5, TRUE, kSetFast, "2.5000"},
        {1234.56789, TRUE, kSetSlow, "1234.5679"}, {0.00004, TRUE, kSetSlow, "0.0000"},
        {-7.25, FALSE, kNotSetFast, "7.2500"},     {0.0, FALSE, kNotSetFast, "0.0000"},
        {3600.5, FALSE, kNotSetSlow, "3600.5000"},
    };
    for (const auto& c : cases)
    {
        m_platform.Script({{TRUE, c.dOffset}}, c.bClockSet);
        m_view.Forget();
        Sync();
        EXPECT_EQ(m_view.m_results, Shown(OffsetText(c.pszHead, c.pszNumber))) << "offset " << c.dOffset;
    }
}

TEST_F(SyncControllerTest, AsksThreeTimesThenReportsNoAnswer)
{
    m_platform.Script({});
    Sync();
    EXPECT_EQ(m_platform.m_nQueries, 3);
    EXPECT_EQ(m_platform.m_nClockSets, 0);
    EXPECT_EQ(m_view.m_results, Shown(Cp936FromUtf8(kNoAnswer)));

    // An answer to the last attempt still counts.
    m_platform.Script({{FALSE, 0}, {FALSE, 0}, {TRUE, 1}});
    Sync();
    EXPECT_EQ(m_platform.m_nQueries, 3);
    EXPECT_EQ(m_view.m_results.back(), OffsetText(kSetSlow, "1.0000"));
}

TEST_F(SyncControllerTest, SynchronisesAutomaticallyExactlyWhenTheIntervalHasPassed)
{
    const DWORD intervals[] = {1800000, 3600000, 7200000};
    // From system start, and across the wrap of the tick count.
    const DWORD lastSyncs[] = {0, 0xFFFFFFFFu - 1000, 0xFFFFFFFFu - 1800000 + 1};
    for (int nSpan = 0; nSpan < 3; ++nSpan)
    {
        for (DWORD dwLast : lastSyncs)
        {
            SCOPED_TRACE("span " + std::to_string(nSpan) + ", last " + std::to_string(dwLast));
            m_platform.Script({{TRUE, 0.5}, {TRUE, 0.5}});
            m_controller.m_bAutoSync = TRUE;
            m_controller.m_nSyncSpan = nSpan;
            m_controller.m_dwLastAutoSync = dwLast;
            for (DWORD dwEarly : {DWORD(1), intervals[nSpan] - 1})
            {
                m_platform.m_dwTick = dwLast + dwEarly;
                m_controller.OnTick();
            }
            EXPECT_EQ(m_platform.m_nQueries, 0);

            EXPECT_FALSE(m_controller.IsSyncing());

            m_platform.m_dwTick = dwLast + intervals[nSpan];
            m_controller.OnTick();
            ASSERT_TRUE(m_view.WaitForSync(m_controller));
            EXPECT_EQ(m_platform.m_nQueries, 1);
            EXPECT_EQ(m_controller.m_dwLastAutoSync, dwLast + intervals[nSpan]);

            m_platform.m_dwTick += intervals[nSpan] - 1;
            m_controller.OnTick();
            EXPECT_FALSE(m_controller.IsSyncing());
            EXPECT_EQ(m_platform.m_nQueries, 1);
        }
    }
}

TEST_F(SyncControllerTest, NeverSynchronisesAutomaticallyWhenOffOrWithoutAnInterval)
{
    m_platform.Script({{TRUE, 1}, {TRUE, 1}, {TRUE, 1}, {TRUE, 1}});
    m_platform.m_dwTick = 0x7FFFFFFF; // weeks since the last one
    m_controller.m_nSyncSpan = 0;
    m_controller.OnTick();
    m_controller.m_bAutoSync = TRUE;
    for (int nSpan : {-1, 3, 100})
    {
        m_controller.m_nSyncSpan = nSpan;
        m_controller.OnTick();
    }
    EXPECT_FALSE(m_controller.IsSyncing());
    EXPECT_EQ(m_platform.m_nQueries, 0);
    EXPECT_TRUE(m_view.m_results.empty());
}

TEST_F(SyncControllerTest, ManualSynchronisationLeavesTheAutomaticScheduleAlone)
{
    m_platform.Script({{TRUE, 1}, {TRUE, 1}});
    m_controller.m_bAutoSync = TRUE;
    m_controller.m_nSyncSpan = 0;
    m_controller.m_dwLastAutoSync = 5000;
    m_platform.m_dwTick = 1000000;
    Sync();
    EXPECT_EQ(m_controller.m_dwLastAutoSync, 5000u);
    m_platform.m_dwTick = 1805000;
    m_controller.OnTick();
    ASSERT_TRUE(m_view.WaitForSync(m_controller));
    EXPECT_EQ(m_platform.m_nQueries, 2);
}

TEST_F(SyncControllerTest, ABusySynchronisationStartsNoOtherUntilItsResultIsShown)
{
    m_platform.Script({{TRUE, 2}, {TRUE, 3}});
    m_controller.m_bAutoSync = TRUE;
    m_controller.m_nSyncSpan = 0;
    m_platform.m_dwTick = 0x7FFFFFFF; // an automatic one is due
    m_controller.SyncNow();
    EXPECT_TRUE(m_controller.IsSyncing());
    EXPECT_EQ(m_view.m_busy, std::vector<BOOL>{TRUE});
    EXPECT_EQ(m_view.m_results, std::vector<std::string>{Cp936FromUtf8(kBusy)});

    m_controller.SyncNow(); // a second click
    m_controller.OnTick();
    EXPECT_EQ(m_controller.m_dwLastAutoSync, 0u) << "a tick during a synchronisation counts as done";
    ASSERT_TRUE(m_view.WaitForSync(m_controller));
    EXPECT_EQ(m_platform.m_nQueries, 1);
    EXPECT_EQ(m_platform.m_nClockSets, 1);
    EXPECT_EQ(m_view.m_nPosted, 1);
    EXPECT_EQ(m_view.m_busy, (std::vector<BOOL>{TRUE, FALSE}));
    EXPECT_EQ(m_view.m_results, Shown(OffsetText(kSetSlow, "2.0000")));

    // A message that arrives with nothing running changes nothing.
    m_controller.OnSyncDone();
    EXPECT_EQ(m_view.m_results.size(), 2u);
}

TEST_F(SyncControllerTest, AttemptsGoRoundTheServersAndPastThoseThatRefused)
{
    const CFakeSyncPlatform::Answer silent = {FALSE, 0}, refused = {FALSE, 0, CSntpQuery::kRefusedError},
                                    answer = {TRUE, 1};
    const struct
    {
        const char* pszServers;
        std::initializer_list<CFakeSyncPlatform::Answer> answers;
        std::vector<std::string> asked;
    } cases[] = {
        // The list's own order; the unit test of the list covers the rest.
        {"a b:5", {}, {"a:123", "b:5", "a:123"}},
        {"a b c d", {silent, answer}, {"a:123", "b:123"}},
        {"a", {refused}, {"a:123"}},
        {"a b", {refused}, {"a:123", "b:123", "b:123"}},
        {"a b c", {silent, refused}, {"a:123", "b:123", "c:123"}},
    };
    for (const auto& c : cases)
    {
        m_folder.Write(std::string("[general]\r\nserver=") + c.pszServers + "\r\n");
        m_controller.LoadSettings();
        m_platform.Script(c.answers);
        Sync();
        EXPECT_EQ(m_platform.m_asked, c.asked) << c.pszServers;
    }

    // A refusal holds for later synchronisations too, until the program ends.
    m_platform.Script({refused});
    Sync();
    EXPECT_EQ(m_platform.m_asked, (std::vector<std::string>{"a:123", "c:123", "c:123"}));
    m_platform.Script({});
    Sync();
    EXPECT_EQ(m_platform.m_asked, (std::vector<std::string>{"c:123", "c:123", "c:123"}));
}

TEST_F(SyncControllerTest, TheIntervalListFollowsAutomaticSynchronisation)
{
    m_controller.m_bAutoSync = TRUE;
    m_controller.OnAutoSyncChanged();
    m_controller.m_bAutoSync = FALSE;
    m_controller.OnAutoSyncChanged();
    m_controller.OnIntervalChanged();
    EXPECT_EQ(m_view.m_listEnabled, (std::vector<BOOL>{TRUE, FALSE}));
}

// Against servers on this machine, through the real query.
class SyncEndToEndTest : public testing::Test
{
protected:
    SyncEndToEndTest()
    {
        UseServers({&m_responder});
        m_controller.Start();
    }

    void UseServers(std::initializer_list<CSntpResponder*> servers)
    {
        std::string strList;
        for (CSntpResponder* pServer : servers)
            strList += "127.0.0.1:" + std::to_string(pServer->GetPort()) + ",";
        m_folder.Write("[general]\r\nserver=" + strList + "\r\n");
        m_controller.LoadSettings();
    }

    void Sync()
    {
        m_view.Forget();
        m_clock.m_written.clear();
        m_controller.SyncNow();
        ASSERT_TRUE(m_view.WaitForSync(m_controller));
    }

    // The result shown is the expected text round a number near dOffset, and
    // the clock was set that far from now.
    void ExpectSynchronised(const char* pszHead, double dOffset)
    {
        ASSERT_EQ(m_view.m_results.size(), 2u);
        const std::string& strText = m_view.m_results[1];
        const std::string strStart = OffsetText(pszHead, "");
        const size_t nNumber = strStart.find("</Run>");
        const std::string strNumber = strText.substr(nNumber, strText.size() - strStart.size());
        EXPECT_EQ(strText, OffsetText(pszHead, strNumber));
        EXPECT_EQ(strNumber.find('.'), strNumber.size() - 5) << strNumber;
        EXPECT_NEAR(atof(strNumber.c_str()), fabs(dOffset), 0.05) << strNumber;
        if (m_clock.m_bAccept)
        {
            ASSERT_EQ(m_clock.m_written.size(), 1u);
            EXPECT_NEAR(CNtpStamp::FromSystemTime(m_clock.m_written[0]) - CNtpStamp::Now(), dOffset, 0.05);
        }
    }

    CSntpResponder m_responder;
    CSettingsFolder m_folder;
    CRecordingView m_view;
    CFakeClock m_clock;
    CSyncPlatform m_platform{m_clock};
    CSyncController m_controller{m_view, m_platform};
};

TEST_F(SyncEndToEndTest, SetsASlowClockForwardAndAFastOneBack)
{
    const struct
    {
        double dClockAhead;
        BOOL bAccept;
        const char* pszHead;
    } cases[] = {{37, TRUE, kSetSlow}, {-20, TRUE, kSetFast}, {-4.5, FALSE, kNotSetFast}};
    for (const auto& c : cases)
    {
        m_clock.m_bAccept = c.bAccept;
        m_responder.SetBehaviour(Serving(c.dClockAhead));
        Sync();
        ExpectSynchronised(c.pszHead, c.dClockAhead);
    }
    EXPECT_EQ(m_responder.GetRequestCount(), 3 * CSntpQuery::kMaxRequests);
}

TEST_F(SyncEndToEndTest, FallsBackPastASilentAndARefusingServer)
{
    CSntpResponder silent, refusing;
    silent.SetBehaviour(Serving(30, CSntpResponder::Silent));
    refusing.SetBehaviour(Serving(30, CSntpResponder::KissDeny));
    m_responder.SetBehaviour(Serving(12));
    UseServers({&silent, &refusing, &m_responder});
    Sync();
    ExpectSynchronised(kSetSlow, 12);
    EXPECT_EQ(silent.GetRequestCount(), 1);
    EXPECT_EQ(refusing.GetRequestCount(), 1);
    EXPECT_EQ(m_responder.GetRequestCount(), CSntpQuery::kMaxRequests);

    // The refusing server is not asked again: its turn goes to the next.
    Sync();
    ExpectSynchronised(kSetSlow, 12);
    EXPECT_EQ(silent.GetRequestCount(), 2);
    EXPECT_EQ(refusing.GetRequestCount(), 1);
    EXPECT_EQ(m_responder.GetRequestCount(), 2 * CSntpQuery::kMaxRequests);
}

TEST_F(SyncEndToEndTest, NoServerGetsMoreThanFourRequestsInOneSynchronisation)
{
    // The server that answers late in the round was asked before.
    CSntpResponder silent;
    silent.SetBehaviour(Serving(0, CSntpResponder::Silent));
    const struct
    {
        int nIgnoreFirst;
        bool bWithSilent;
    } cases[] = {{2, false}, {1, true}};
    for (const auto& c : cases)
    {
        CSntpResponder late;
        CSntpResponder::Behaviour behaviour = Serving(6);
        behaviour.nIgnoreFirst = c.nIgnoreFirst;
        late.SetBehaviour(behaviour);
        CServerList servers;
        const std::string strLate = "127.0.0.1:" + std::to_string(late.GetPort());
        servers.Parse((strLate + (c.bWithSilent ? " 127.0.0.1:" + std::to_string(silent.GetPort()) : "")).c_str());
        CSntpQuery query(m_clock);
        query.SetReplyTimeout(300);
        SntpResult result;
        size_t nServer = CServerList::kNone;
        ASSERT_TRUE(CSyncWorker::Measure(m_platform, query, servers, result, nServer)) << c.nIgnoreFirst;
        EXPECT_EQ(nServer, 0u);
        EXPECT_EQ(late.GetRequestCount(), CSntpQuery::kMaxRequests) << c.nIgnoreFirst;
    }
}

TEST_F(SyncEndToEndTest, EndsWithinTheBudgetWhenNoServerAnswers)
{
    CSntpResponder malformed;
    m_responder.SetBehaviour(Serving(30, CSntpResponder::Silent));
    malformed.SetBehaviour(Serving(30, CSntpResponder::Stratum0));
    UseServers({&m_responder, &malformed});
    const DWORD dwStart = GetTickCount();
    Sync();
    const DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_EQ(m_responder.GetRequestCount(), 2);
    EXPECT_EQ(malformed.GetRequestCount(), 1);
    EXPECT_GE(dwElapsed, CSyncWorker::kBudgetMs - 300);
    EXPECT_LT(dwElapsed, CSyncWorker::kBudgetMs + 500);
    EXPECT_TRUE(m_clock.m_written.empty());
    EXPECT_EQ(m_view.m_results, Shown(Cp936FromUtf8(kNoAnswer)));
}

TEST_F(SyncEndToEndTest, StoppingDuringASynchronisationEndsItAtOnceWithoutSettingTheClock)
{
    // Stopped while waiting for a server, and while a slow reply is on its
    // way that would have set the clock.
    const CSntpResponder::Behaviour behaviours[] = {Serving(30, CSntpResponder::Silent),
                                                    Serving(30, CSntpResponder::None, 400)};
    for (const CSntpResponder::Behaviour& behaviour : behaviours)
    {
        m_responder.SetBehaviour(behaviour);
        m_controller.SyncNow();
        Sleep(200);
        const DWORD dwStart = GetTickCount();
        m_controller.Stop();
        EXPECT_LT(GetTickCount() - dwStart, 1000u);
        EXPECT_FALSE(m_controller.IsSyncing());
        Sleep(600);
        EXPECT_EQ(m_view.m_nPosted, 0);
        EXPECT_TRUE(m_clock.m_written.empty());
    }
    // The next one runs as usual.
    m_responder.SetBehaviour(Serving(5));
    Sync();
    ExpectSynchronised(kSetSlow, 5);
}

TEST(StartAtLogon, SynchronisesAtOnceAndRetriesWhileNoServerAnswersOnlyWhenAutomatic)
{
    // Queries made by the time each tick count is reached: three per try
    // that finds no answer, and none is left once the script ends.
    const struct
    {
        const char* pszCase;
        std::vector<CFakeSyncPlatform::Answer> answers;
        std::vector<std::pair<DWORD, int>> queriesBy;
        BOOL bAutoSync = TRUE;
    } cases[] = {
        {"never an answer",
         {},
         {{0, 3},
          {14999, 3},
          {15000, 6},
          {74999, 6},
          {75000, 9},
          {374999, 9},
          {375000, 12},
          {2174999, 12},
          {2175000, 15}}},
        {"the first retry answers",
         {{FALSE, 0}, {FALSE, 0}, {FALSE, 0}, {TRUE, 2}},
         {{0, 3}, {15000, 4}, {75000, 4}, {375000, 4}, {1814999, 4}, {1815000, 7}}},
        {"answered at once", {{TRUE, 2}}, {{0, 1}, {15000, 1}, {75000, 1}, {1799999, 1}, {1800000, 4}}},
        {"automatic synchronisation off", {}, {{0, 0}, {400000, 0}}, FALSE},
    };
    for (const auto& c : cases)
    {
        CSettingsFolder folder;
        CRecordingView view;
        CFakeSyncPlatform platform;
        CSyncController controller(view, platform);
        controller.m_bAutoSync = c.bAutoSync;
        controller.m_nSyncSpan = 0;
        platform.m_dwTick = 0;
        platform.Script(c.answers);
        controller.StartAutomatic();
        if (c.bAutoSync)
        {
            ASSERT_TRUE(view.WaitForSync(controller));
        }
        for (const auto& step : c.queriesBy)
        {
            platform.m_dwTick = step.first;
            controller.OnTick();
            if (controller.IsSyncing())
            {
                ASSERT_TRUE(view.WaitForSync(controller));
            }
            EXPECT_EQ(platform.m_nQueries, step.second) << c.pszCase << " at " << step.first;
        }
        EXPECT_EQ(!c.bAutoSync, view.m_results.empty()) << c.pszCase;
    }
}
