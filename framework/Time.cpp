#include "framework/Time.h"

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; CTime counts seconds from 1970.
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;

}  // namespace

CTime::CTime(const FILETIME& fileTime) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = fileTime.dwLowDateTime;
    ticks.HighPart = fileTime.dwHighDateTime;
    m_time = static_cast<__time64_t>(ticks.QuadPart / kTicksPerSecond) - kSecondsFrom1601To1970;
}

BOOL CTime::GetAsFileTime(FILETIME& fileTime) const {
    if (m_time < -kSecondsFrom1601To1970) return FALSE;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(m_time + kSecondsFrom1601To1970) * kTicksPerSecond;
    fileTime.dwLowDateTime = ticks.LowPart;
    fileTime.dwHighDateTime = ticks.HighPart;
    return TRUE;
}
