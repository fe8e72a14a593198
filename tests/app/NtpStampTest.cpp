#include "app/NtpStamp.h"

#include <gtest/gtest.h>

namespace
{
SYSTEMTIME Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

void ExpectTime(const SYSTEMTIME& st, int year, int month, int day, int hour, int minute, int second, int ms)
{
    EXPECT_EQ(st.wYear, year);
    EXPECT_EQ(st.wMonth, month);
    EXPECT_EQ(st.wDay, day);
    EXPECT_EQ(st.wHour, hour);
    EXPECT_EQ(st.wMinute, minute);
    EXPECT_EQ(st.wSecond, second);
    EXPECT_EQ(st.wMilliseconds, ms);
}

const uint64_t kOneSecond = uint64_t(1) << 32;
} // namespace

TEST(NtpStamp, MillisecondTableRoundsToNearest)
{
    EXPECT_EQ(CNtpStamp::kMsToFraction[0], 0u);
    EXPECT_EQ(CNtpStamp::kMsToFraction[1], 4294967u);
    EXPECT_EQ(CNtpStamp::kMsToFraction[500], 2147483648u);
    EXPECT_EQ(CNtpStamp::kMsToFraction[999], 4290672329u);
}

TEST(NtpStamp, CalendarConversionCountsFrom1900)
{
    EXPECT_EQ(CNtpStamp::FromSystemTime(Utc(1900, 1, 1)).GetValue(), 0u);
    EXPECT_EQ(CNtpStamp::FromSystemTime(Utc(2000, 1, 1)).GetValue(), uint64_t(3155673600) << 32);

    const SYSTEMTIME y2k = CNtpStamp::FromSystemTime(Utc(2000, 1, 1)).ToSystemTime();
    ExpectTime(y2k, 2000, 1, 1, 0, 0, 0, 0);
    EXPECT_EQ(y2k.wDayOfWeek, 6); // Saturday

    const SYSTEMTIME leapDay = CNtpStamp::FromSystemTime(Utc(2024, 2, 29, 13, 45, 7, 250)).ToSystemTime();
    ExpectTime(leapDay, 2024, 2, 29, 13, 45, 7, 250);
    EXPECT_EQ(leapDay.wDayOfWeek, 4); // Thursday
}

TEST(NtpStamp, FileTimesKeepTheirFraction)
{
    // 2000-01-01 00:00:00.0000001 in 100 ns units since 1601.
    const uint64_t ticks = 125911584000000000ull + 1;
    const FILETIME ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const CNtpStamp stamp = CNtpStamp::FromFileTime(ft);
    EXPECT_EQ(stamp.GetSeconds(), 3155673600u);
    EXPECT_EQ(stamp.GetFraction(), 429u); // 2^32 / 10^7, truncated

    SYSTEMTIME st;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FileTimeToSystemTime(&now, &st);
    EXPECT_NEAR(CNtpStamp::FromFileTime(now) - CNtpStamp::FromSystemTime(st), 0.0, 0.001);
}

TEST(NtpStamp, EveryMillisecondSurvivesTheRoundTrip)
{
    for (int ms = 0; ms < 1000; ++ms)
        ASSERT_EQ(CNtpStamp::FromSystemTime(Utc(2026, 12, 8, 19, 20, 0, ms)).ToSystemTime().wMilliseconds, ms);
}

TEST(NtpStamp, FractionNearAWholeSecondCarriesIntoTheNextSecond)
{
    const uint64_t base = CNtpStamp::FromSystemTime(Utc(2026, 12, 31, 23, 59, 59)).GetValue();
    ExpectTime(CNtpStamp(base + 0xFFFFFFFFu).ToSystemTime(), 2027, 1, 1, 0, 0, 0, 0);
    ExpectTime(CNtpStamp(base + CNtpStamp::kMsToFraction[999]).ToSystemTime(), 2026, 12, 31, 23, 59, 59, 999);
}

TEST(NtpStamp, DifferenceIsSignedAndAntisymmetric)
{
    const CNtpStamp a = CNtpStamp::FromSystemTime(Utc(2026, 12, 8, 12, 0, 0, 0));
    const CNtpStamp b = CNtpStamp::FromSystemTime(Utc(2026, 12, 8, 12, 0, 10, 500));
    EXPECT_EQ(a - a, 0.0);
    EXPECT_NEAR(b - a, 10.5, 1e-6);
    EXPECT_EQ(a - b, -(b - a));

    // More than 2^31 seconds keep their size.
    const CNtpStamp early = CNtpStamp::FromSystemTime(Utc(1970, 1, 1));
    const CNtpStamp late = CNtpStamp::FromSystemTime(Utc(2030, 1, 1));
    EXPECT_DOUBLE_EQ(late - early, 1893456000.0);
}

TEST(NtpStamp, AddingSecondsCarriesAndBorrows)
{
    EXPECT_EQ((CNtpStamp(100 * kOneSecond) + -0.25).GetValue(), 99 * kOneSecond + 3221225473u);
    EXPECT_EQ((CNtpStamp(100 * kOneSecond) + 0.25).GetValue(), 100 * kOneSecond + 1073741823u);

    const CNtpStamp newYearsEve = CNtpStamp::FromSystemTime(Utc(2026, 12, 31, 23, 59, 59, 0));
    ExpectTime((newYearsEve + 2.5).ToSystemTime(), 2027, 1, 1, 0, 0, 1, 500);

    const CNtpStamp march = CNtpStamp::FromSystemTime(Utc(2028, 3, 1, 0, 0, 0, 500));
    ExpectTime((march + -0.75).ToSystemTime(), 2028, 2, 29, 23, 59, 59, 750);
}

TEST(NtpStamp, NetworkOrderIsBigEndianSecondsFirst)
{
    const CNtpStamp stamp((uint64_t(0x01020304) << 32) | 0xA0B0C0D0);
    BYTE bytes[8];
    stamp.ToNetwork(bytes);
    const BYTE expected[8] = {0x01, 0x02, 0x03, 0x04, 0xA0, 0xB0, 0xC0, 0xD0};
    EXPECT_EQ(memcmp(bytes, expected, 8), 0);
    EXPECT_EQ(CNtpStamp::FromNetwork(bytes), stamp);
}

// The 32-bit seconds wrap on 2036-02-07 06:28:16 UTC; values with the top bit
// clear belong to the era that starts there.
TEST(NtpStampEra, ConversionsStayRightAcrossThe2036Wrap)
{
    const CNtpStamp wrap = CNtpStamp::FromSystemTime(Utc(2036, 2, 7, 6, 28, 16));
    EXPECT_EQ(wrap.GetValue(), 0u);
    const SYSTEMTIME atWrap = wrap.ToSystemTime();
    ExpectTime(atWrap, 2036, 2, 7, 6, 28, 16, 0);
    EXPECT_EQ(atWrap.wDayOfWeek, 4); // Thursday

    ExpectTime(CNtpStamp::FromSystemTime(Utc(2035, 6, 1, 12, 0, 0, 125)).ToSystemTime(), 2035, 6, 1, 12, 0, 0, 125);
    ExpectTime(CNtpStamp::FromSystemTime(Utc(2036, 2, 7, 6, 28, 15, 999)).ToSystemTime(), 2036, 2, 7, 6, 28, 15, 999);
    ExpectTime(CNtpStamp::FromSystemTime(Utc(2040, 2, 29, 23, 59, 59, 1)).ToSystemTime(), 2040, 2, 29, 23, 59, 59, 1);
    ExpectTime(CNtpStamp::FromSystemTime(Utc(1968, 1, 20, 3, 14, 8)).ToSystemTime(), 1968, 1, 20, 3, 14, 8, 0);
}

TEST(NtpStampEra, ArithmeticStaysRightAcrossThe2036Wrap)
{
    const CNtpStamp before = CNtpStamp::FromSystemTime(Utc(2036, 2, 7, 6, 28, 10));
    const CNtpStamp after = CNtpStamp::FromSystemTime(Utc(2036, 2, 7, 6, 28, 20));
    EXPECT_NEAR(after - before, 10.0, 1e-9);
    EXPECT_NEAR(before - after, -10.0, 1e-9);
    ExpectTime((before + 12.5).ToSystemTime(), 2036, 2, 7, 6, 28, 22, 500);
    ExpectTime((after + -12.5).ToSystemTime(), 2036, 2, 7, 6, 28, 7, 500);

    const CNtpStamp y2035 = CNtpStamp::FromSystemTime(Utc(2035, 1, 1));
    const CNtpStamp y2040 = CNtpStamp::FromSystemTime(Utc(2040, 1, 1));
    EXPECT_DOUBLE_EQ(y2040 - y2035, 157766400.0);
    EXPECT_DOUBLE_EQ(y2035 - y2040, -157766400.0);
}
