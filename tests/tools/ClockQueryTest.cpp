#include "support/ChildProcess.h"
#include "support/SntpResponder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
class ClockQueryTest : public testing::Test
{
protected:
    std::string LocalServer() { return "127.0.0.1 " + std::to_string(m_responder.GetPort()); }

    CSntpResponder m_responder;
    CChildProcess m_run;
};
} // namespace

TEST_F(ClockQueryTest, PrintsTheOffsetOfAServerAhead)
{
    CSntpResponder::Behaviour ahead;
    ahead.dClockAhead = 37;
    m_responder.SetBehaviour(ahead);
    // The run with the least delay of up to ten, as NTP clients choose: a
    // late scheduled thread skews one sample by up to half its delay.
    double dBestOffset = 0, dBestDelay = 1e9;
    for (int nRun = 0; nRun < 10 && dBestDelay >= 0.001; ++nRun)
    {
        ASSERT_TRUE(m_run.Run("clockquery.exe", LocalServer()));
        EXPECT_EQ(m_run.dwExitCode, 0u) << m_run.strErr;
        char host[64] = {};
        int nStratum = 0;
        double dOffset = 0, dDelay = 0;
        ASSERT_EQ(sscanf(m_run.strOut.c_str(), "server=%63s stratum=%d offset=%lf delay=%lf", host, &nStratum, &dOffset,
                         &dDelay),
                  4)
            << m_run.strOut;
        EXPECT_STREQ(host, "127.0.0.1");
        EXPECT_EQ(nStratum, 2);
        if (dDelay < dBestDelay)
        {
            dBestDelay = dDelay;
            dBestOffset = dOffset;
        }
    }
    // Within a millisecond, or half the round trip of a busy machine's best run.
    EXPECT_NEAR(dBestOffset, 37.0, std::max(0.001, dBestDelay / 2));
    EXPECT_LT(dBestDelay, 0.1);
    // Exactly one line, offset signed with six decimals.
    EXPECT_EQ(m_run.strOut.find('\n'), m_run.strOut.size() - 1);
    // The last run alone may read 36.9999: the format is what counts here.
    const size_t nOffset = m_run.strOut.find(" offset=+");
    ASSERT_NE(nOffset, std::string::npos) << m_run.strOut;
    EXPECT_EQ(m_run.strOut.compare(m_run.strOut.find('.', nOffset) + 7, 7, " delay="), 0) << m_run.strOut;
}

TEST_F(ClockQueryTest, GoesPastARefusingServerToTheNextAndNamesTheOneUsed)
{
    CSntpResponder refusing;
    CSntpResponder::Behaviour kiss;
    kiss.fault = CSntpResponder::KissRate;
    refusing.SetBehaviour(kiss);
    CSntpResponder::Behaviour ahead;
    ahead.dClockAhead = -5;
    m_responder.SetBehaviour(ahead);
    const std::string strServers =
        "127.0.0.1:" + std::to_string(refusing.GetPort()) + " localhost:" + std::to_string(m_responder.GetPort());
    ASSERT_TRUE(m_run.Run("clockquery.exe", strServers));
    EXPECT_EQ(m_run.dwExitCode, 0u) << m_run.strErr;
    EXPECT_EQ(m_run.strOut.rfind("server=localhost stratum=2 offset=-", 0), 0u) << m_run.strOut;
    EXPECT_EQ(refusing.GetRequestCount(), 1);
    EXPECT_EQ(m_responder.GetRequestCount(), 4);
}

TEST_F(ClockQueryTest, ReportsEveryServerWhenNoneGivesAValidReply)
{
    CSntpResponder::Behaviour kiss;
    kiss.fault = CSntpResponder::KissDeny;
    m_responder.SetBehaviour(kiss);
    const std::string strPort = std::to_string(m_responder.GetPort());
    ASSERT_TRUE(m_run.Run("clockquery.exe", "127.0.0.1:" + strPort + " localhost:" + strPort));
    EXPECT_EQ(m_run.dwExitCode, 1u);
    EXPECT_EQ(m_run.strOut, "");
    EXPECT_EQ(m_run.strErr, "clockquery: no valid reply from 127.0.0.1:" + strPort + ", localhost:" + strPort + "\n");
    // Each refused once and never asked again.
    EXPECT_EQ(m_responder.GetRequestCount(), 2);
}

TEST_F(ClockQueryTest, RejectsBadUsage)
{
    const char* const badArguments[] = {"127.0.0.1 0", "127.0.0.1 65536", "127.0.0.1 12x", "a 1 extra",
                                        "--help",      "a:1 2",           "a b:x",         "a:0"};
    for (const char* pszArguments : badArguments)
    {
        ASSERT_TRUE(m_run.Run("clockquery.exe", pszArguments));
        EXPECT_EQ(m_run.dwExitCode, 2u) << pszArguments;
        EXPECT_EQ(m_run.strErr, "usage: clockquery [HOST[:PORT]...]\n       clockquery HOST PORT\n") << pszArguments;
    }
    EXPECT_EQ(m_responder.GetRequestCount(), 0);
}
