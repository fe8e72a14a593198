#include "app/NtpStamp.h"

#include "app/ClockPlatform.h"

#include <winsock2.h>

namespace
{
// The fraction reads with a scale of 2^32 - 1, not 2^32: 1 / 4294967295.
const double kFractionToSeconds = 2.3283064370807974e-10;
const double kFractionToMs = 2.3283064370807974e-07;
const double kSecondsToFraction = 4294967295.0;

// Julian day number of 1900-01-01, the NTP epoch.
const int64_t kEpochDay = 2415021;
const uint64_t kSecondsPerDay = 86400;
const uint64_t kFileTimeTicksPerSecond = 10000000;
const uint64_t kSecondsFrom1601To1900 = 9435484800ull;

// A 32-bit seconds value with the top bit clear lies in the era that starts
// when the counter wraps on 2036-02-07 06:28:16 UTC.
const uint64_t kEraLength = uint64_t(1) << 32;

constexpr std::array<uint32_t, 1000> MakeMsToFraction()
{
    std::array<uint32_t, 1000> table{};
    for (uint64_t n = 0; n < 1000; ++n)
        table[n] = static_cast<uint32_t>(((n << 32) + 500) / 1000);
    return table;
}

uint32_t FractionOfSeconds(double dFraction)
{
    return static_cast<uint32_t>(dFraction * kSecondsToFraction);
}
} // namespace

const std::array<uint32_t, 1000> CNtpStamp::kMsToFraction = MakeMsToFraction();

CNtpStamp CNtpStamp::Now(CClockPlatform& platform)
{
    FILETIME ft;
    platform.ReadClock(&ft);
    return FromFileTime(ft);
}

CNtpStamp CNtpStamp::Now()
{
    return Now(CClockPlatform::System());
}

CNtpStamp CNtpStamp::FromSystemTime(const SYSTEMTIME& st)
{
    int64_t m, y;
    if (st.wMonth > 2)
    {
        m = st.wMonth - 3;
        y = st.wYear;
    }
    else
    {
        m = st.wMonth + 9;
        y = st.wYear - 1;
    }
    const int64_t k = y / 100;
    const int64_t r = y - 100 * k;
    const int64_t julianDay = (146097 * k) / 4 + (1461 * r) / 4 + (153 * m + 2) / 5 + st.wDay + 1721119;

    const int64_t days = julianDay - kEpochDay;
    const int64_t seconds = ((days * 24 + st.wHour) * 60 + st.wMinute) * 60 + st.wSecond;
    // Seconds past the 2036 wrap fall into the next era, as on the wire.
    const uint64_t ms = st.wMilliseconds < 1000 ? st.wMilliseconds : 999;
    return CNtpStamp((static_cast<uint64_t>(seconds) << 32) + kMsToFraction[ms]);
}

CNtpStamp CNtpStamp::FromFileTime(const FILETIME& ft)
{
    const uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const uint64_t seconds = ticks / kFileTimeTicksPerSecond - kSecondsFrom1601To1900;
    const uint64_t fraction = ((ticks % kFileTimeTicksPerSecond) << 32) / kFileTimeTicksPerSecond;
    return CNtpStamp((seconds << 32) + fraction);
}

SYSTEMTIME CNtpStamp::ToSystemTime() const
{
    uint64_t s = GetSeconds();
    if (s < 0x80000000u)
        s += kEraLength;

    // 999.5 ms and above would round to 1000, which the platform refuses.
    uint32_t ms = static_cast<uint32_t>(GetFraction() * kFractionToMs + 0.5);
    if (ms >= 1000)
    {
        ms -= 1000;
        ++s;
    }

    SYSTEMTIME st = {};
    st.wSecond = static_cast<WORD>(s % 60);
    st.wMinute = static_cast<WORD>((s / 60) % 60);
    st.wHour = static_cast<WORD>((s / 3600) % 24);
    const uint64_t julianDay = s / kSecondsPerDay + kEpochDay;
    st.wDayOfWeek = static_cast<WORD>((julianDay + 1) % 7);

    const uint64_t j = 4 * julianDay - 6884477;
    const uint64_t k = j / 146097;
    const uint64_t d = (j - 146097 * k) / 4;
    const uint64_t y = (4 * d + 3) / 1461;
    const uint64_t e = (4 * d - 1461 * y + 7) / 4;
    const uint64_t m = (5 * e - 3) / 153;
    st.wDay = static_cast<WORD>((5 * e - 3 - 153 * m + 5) / 5);
    uint64_t year = 100 * k + y;
    if (m < 10)
        st.wMonth = static_cast<WORD>(m + 3);
    else
    {
        st.wMonth = static_cast<WORD>(m - 9);
        ++year;
    }
    st.wYear = static_cast<WORD>(year);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

double CNtpStamp::operator-(const CNtpStamp& other) const
{
    // Taken modulo 2^64 and read as signed, the difference keeps its sign
    // across the 2036 wrap for anything up to 68 years apart.
    const int64_t signedDiff = static_cast<int64_t>(m_nValue - other.m_nValue);
    const bool bNegative = signedDiff < 0;
    const uint64_t d = bNegative ? uint64_t(0) - static_cast<uint64_t>(signedDiff) : static_cast<uint64_t>(signedDiff);
    const double dMagnitude = static_cast<double>(static_cast<int64_t>(d >> 32))
                              + static_cast<double>(static_cast<uint32_t>(d)) * kFractionToSeconds;
    return bNegative ? -dMagnitude : dMagnitude;
}

CNtpStamp CNtpStamp::operator+(double dSeconds) const
{
    const bool bNegative = dSeconds < 0;
    const double dMagnitude = bNegative ? -dSeconds : dSeconds;
    const uint64_t whole = static_cast<uint64_t>(dMagnitude);
    const uint64_t delta = (whole << 32) + FractionOfSeconds(dMagnitude - static_cast<double>(whole));
    return CNtpStamp(bNegative ? m_nValue - delta : m_nValue + delta);
}

void CNtpStamp::ToNetwork(BYTE* pBytes) const
{
    const u_long words[2] = {htonl(GetSeconds()), htonl(GetFraction())};
    memcpy(pBytes, words, sizeof(words));
}

CNtpStamp CNtpStamp::FromNetwork(const BYTE* pBytes)
{
    u_long words[2];
    memcpy(words, pBytes, sizeof(words));
    return CNtpStamp((static_cast<uint64_t>(ntohl(words[0])) << 32) | ntohl(words[1]));
}
