// CTime: a point in time as whole seconds since 1970-01-01 00:00 UTC,
// 64-bit. 0 stands for "no time".
//
// Differs from MFC: only what the launcher uses so far (construction from
// seconds or a FILETIME, the value, comparison, back to a FILETIME, and
// local time). Local time follows the system's time zone, not the C
// runtime's TZ variable, which MFC's CRT-based conversion would read.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "framework/Afx.h"

class CTime {
public:
    CTime() = default;
    CTime(__time64_t time) : m_time(time) {}
    // A FILETIME (UTC); the part below one second is dropped.
    explicit CTime(const FILETIME& fileTime);

    __time64_t GetTime() const { return m_time; }
    // FALSE for times before 1601, which a FILETIME cannot hold.
    BOOL GetAsFileTime(FILETIME& fileTime) const;

    // The local broken-down time in *ptm; null (and *ptm untouched) for a
    // time the C runtime's localtime rejects: before 1970 or after
    // 3000-12-31 23:59:59 UTC.
    struct tm* GetLocalTm(struct tm* ptm) const;
    // strftime-style text of the local time, at most 127 characters; empty
    // when the time cannot be converted or the text does not fit.
    std::wstring Format(LPCWSTR pszFormat) const;

    bool operator==(const CTime& other) const = default;

private:
    __time64_t m_time = 0;
};
