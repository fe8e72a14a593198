// A 64-bit NTP timestamp: whole seconds since 1900 in the high half, the
// fraction of a second in the low half.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

class CClockPlatform;

class CNtpStamp
{
public:
    constexpr CNtpStamp() = default;
    constexpr explicit CNtpStamp(uint64_t nValue) : m_nValue(nValue) {}

    // The platform clock now, in UTC.
    static CNtpStamp Now(CClockPlatform& platform);
    static CNtpStamp Now();

    static CNtpStamp FromSystemTime(const SYSTEMTIME& st);
    static CNtpStamp FromFileTime(const FILETIME& ft);
    SYSTEMTIME ToSystemTime() const;

    // Signed difference in seconds.
    double operator-(const CNtpStamp& other) const;
    // The stamp moved by a number of seconds of either sign.
    CNtpStamp operator+(double dSeconds) const;

    // Two big-endian 32-bit words, seconds first.
    void ToNetwork(BYTE* pBytes) const;
    static CNtpStamp FromNetwork(const BYTE* pBytes);

    uint64_t GetValue() const { return m_nValue; }
    uint32_t GetSeconds() const { return static_cast<uint32_t>(m_nValue >> 32); }
    uint32_t GetFraction() const { return static_cast<uint32_t>(m_nValue); }
    bool IsZero() const { return m_nValue == 0; }

    bool operator==(const CNtpStamp& other) const { return m_nValue == other.m_nValue; }
    bool operator!=(const CNtpStamp& other) const { return m_nValue != other.m_nValue; }

    // Fraction of entry n is n milliseconds: n * 2^32 / 1000, rounded.
    static const std::array<uint32_t, 1000> kMsToFraction;

private:
    uint64_t m_nValue = 0;
};
