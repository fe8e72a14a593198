#include "app/ServerList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const std::string kDefault = "ntp.aliyun.com:123 ntp.tencent.com:123 ntp.ntsc.ac.cn:123";
} // namespace

TEST(ServerList, TakesEntriesSeparatedBySpacesOrCommasAndSkipsMalformedOnes)
{
    const struct
    {
        std::string strText;
        size_t nTaken;
        std::string strList;
    } cases[] = {
        {"127.0.0.1:4123", 1, "127.0.0.1:4123"},
        {"a.example b.example:1123", 2, "a.example:123 b.example:1123"},
        {"ntp_1.example-site.cn:00123, time.example.org", 2, "ntp_1.example-site.cn:123 time.example.org:123"},
        {" a,b ,, c:00123 ", 3, "a:123 b:123 c:123"},
        {"a:0 b host:65536 c:12a d:1:2", 1, "b:123"},
        {"\xb7\xfe\xce\xf1\xc6\xf7 good", 1, "good:123"}, // 服务器, then a host
        // Nothing usable: the default list.
        {"", 0, kDefault},
        {" , ", 0, kDefault},
        {":4123 host: host:-5", 0, kDefault},
        {std::string(300, 'a'), 0, kDefault}, // longer than a host name can be
    };
    for (const auto& c : cases)
    {
        CServerList servers;
        servers.Parse("other.example");
        EXPECT_EQ(servers.Parse(c.strText.c_str()), c.nTaken) << c.strText;
        EXPECT_EQ(servers.Describe(), c.strList) << c.strText;
    }
    EXPECT_EQ(CServerList().Describe(), kDefault);
}

TEST(ServerList, AttemptsGoRoundTheListPastRefusedServers)
{
    const struct
    {
        const char* pszText;
        std::vector<size_t> refused;
        std::vector<size_t> attempts; // servers of attempts 0, 1, 2
    } cases[] = {
        {"a", {}, {0, 0, 0}},
        {"a b", {}, {0, 1, 0}},
        {"a b c", {}, {0, 1, 2}},
        {"a b c d", {}, {0, 1, 2}},
        {"a b c", {1}, {0, 2, 2}},
        {"a b", {0}, {1, 1, 1}},
        {"a b", {0, 1}, {CServerList::kNone, CServerList::kNone, CServerList::kNone}},
    };
    for (const auto& c : cases)
    {
        CServerList servers;
        servers.Parse(c.pszText);
        for (size_t nIndex : c.refused)
            servers.MarkRefused(nIndex);
        std::vector<size_t> attempts;
        for (int nAttempt = 0; nAttempt < 3; ++nAttempt)
            attempts.push_back(servers.ForAttempt(nAttempt));
        EXPECT_EQ(attempts, c.attempts) << c.pszText;
    }
}
