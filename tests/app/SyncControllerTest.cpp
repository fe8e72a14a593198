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

std::string OffsetText(const char* pszHead, const std::string& strNumber)
{
    return Cp936(pszHead) + "<Run Foreground='Red' FontWeight='Bold'>" + strNumber + "</Run>" + Cp936(u8"秒！");
}

class SyncControllerTest : public testing::Test
{
protected:
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
        m_view.m_results.clear();
        m_controller.SyncNow();
        EXPECT_EQ(m_view.m_results, std::vector<std::string>{OffsetText(c.pszHead, c.pszNumber)})
            << "offset " << c.dOffset;
    }
}

TEST_F(SyncControllerTest, AsksThreeTimesThenReportsNoAnswer)
{
    m_platform.Script({});
    m_controller.SyncNow();
    EXPECT_EQ(m_platform.m_nQueries, 3);
    EXPECT_EQ(m_platform.m_nClockSets, 0);
    EXPECT_EQ(m_view.m_results, std::vector<std::string>{Cp936(kNoAnswer)});

    // The first answer ends the attempts, even the third.
    m_platform.Script({{FALSE, 0}, {TRUE, 1}});
    m_controller.SyncNow();
    EXPECT_EQ(m_platform.m_nQueries, 2);
    m_platform.Script({{FALSE, 0}, {FALSE, 0}, {TRUE, 1}});
    m_controller.SyncNow();
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

            m_platform.m_dwTick = dwLast + intervals[nSpan];
            m_controller.OnTick();
            EXPECT_EQ(m_platform.m_nQueries, 1);
            EXPECT_EQ(m_controller.m_dwLastAutoSync, dwLast + intervals[nSpan]);

            m_platform.m_dwTick += intervals[nSpan] - 1;
            m_controller.OnTick();
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
    m_controller.SyncNow();
    EXPECT_EQ(m_controller.m_dwLastAutoSync, 5000u);
    m_platform.m_dwTick = 1805000;
    m_controller.OnTick();
    EXPECT_EQ(m_platform.m_nQueries, 2);
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

// Against a server on this machine, through the real query.
class SyncEndToEndTest : public testing::Test
{
protected:
    SyncEndToEndTest()
    {
        m_folder.Write("[general]\r\nserver=127.0.0.1:" + std::to_string(m_responder.GetPort()) + "\r\n");
        m_controller.Start();
    }

    void Serve(double dClockAhead, CSntpResponder::Fault fault = CSntpResponder::None)
    {
        m_responder.SetBehaviour({dClockAhead, 0, 0, fault});
        m_view.m_results.clear();
        m_clock.m_written.clear();
    }

    // The one result shown is the expected text round a number near dOffset,
    // and the clock was set that far from now.
    void ExpectSynchronised(const char* pszHead, double dOffset)
    {
        ASSERT_EQ(m_view.m_results.size(), 1u);
        const std::string& strText = m_view.m_results[0];
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
    Serve(37);
    m_controller.SyncNow();
    ExpectSynchronised(kSetSlow, 37);
    EXPECT_EQ(m_responder.GetRequestCount(), 1);

    Serve(-20);
    m_controller.SyncNow();
    ExpectSynchronised(kSetFast, -20);

    m_clock.m_bAccept = FALSE;
    Serve(-4.5);
    m_controller.SyncNow();
    ExpectSynchronised(kNotSetFast, -4.5);
}

TEST_F(SyncEndToEndTest, MalformedOrMissingAnswersLeaveTheClockAlone)
{
    Serve(30, CSntpResponder::Stratum0);
    m_controller.SyncNow();
    EXPECT_EQ(m_responder.GetRequestCount(), 3);
    EXPECT_TRUE(m_clock.m_written.empty());
    EXPECT_EQ(m_view.m_results, std::vector<std::string>{Cp936(kNoAnswer)});

    Serve(30, CSntpResponder::Silent);
    const DWORD dwStart = GetTickCount();
    m_controller.SyncNow();
    const DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_EQ(m_responder.GetRequestCount(), 6);
    EXPECT_GE(dwElapsed, 14700u);
    EXPECT_LT(dwElapsed, 20000u);
    EXPECT_TRUE(m_clock.m_written.empty());
    EXPECT_EQ(m_view.m_results, std::vector<std::string>{Cp936(kNoAnswer)});
}

TEST(StartAtLogon, SynchronisesAtOnceAndRetriesWhileNoServerAnswers)
{
    // Queries made by the time each tick count is reached: three per try
    // that finds no answer, and none is left once the script ends.
    const struct
    {
        const char* pszCase;
        std::vector<CFakeSyncPlatform::Answer> answers;
        std::vector<std::pair<DWORD, int>> queriesBy;
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
    };
    for (const auto& c : cases)
    {
        CSettingsFolder folder;
        CRecordingView view;
        CFakeSyncPlatform platform;
        CSyncController controller(view, platform);
        controller.m_bAutoSync = TRUE;
        controller.m_nSyncSpan = 0;
        platform.m_dwTick = 0;
        platform.Script(c.answers);
        controller.StartAutomatic();
        for (const auto& step : c.queriesBy)
        {
            platform.m_dwTick = step.first;
            controller.OnTick();
            EXPECT_EQ(platform.m_nQueries, step.second) << c.pszCase << " at " << step.first;
        }
    }
}

TEST(StartAtLogon, WithAutomaticSynchronisationOffNothingHappens)
{
    CSettingsFolder folder;
    CRecordingView view;
    CFakeSyncPlatform platform;
    CSyncController controller(view, platform);
    platform.Script({});
    controller.StartAutomatic();
    platform.m_dwTick = 400000;
    controller.OnTick();
    EXPECT_EQ(platform.m_nQueries, 0);
    EXPECT_TRUE(view.m_results.empty());
}
