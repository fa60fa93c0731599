// CTime: a point in time as whole seconds since 1970-01-01 00:00 UTC,
// 64-bit. 0 stands for "no time".
//
// Differs from MFC: only what the launcher uses so far (construction from
// seconds or a FILETIME, the value, comparison, and back to a FILETIME).
#pragma once

#include <cstdint>

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

    bool operator==(const CTime& other) const = default;

private:
    __time64_t m_time = 0;
};
