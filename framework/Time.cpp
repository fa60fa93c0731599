#include "framework/Time.h"

#include <cwchar>

namespace {

// FILETIME counts 100 ns steps from 1601-01-01; CTime counts seconds from 1970.
constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
// The C runtime's _MAX__TIME64_T: the last second localtime accepts.
constexpr int64_t kLastLocalTime = 32535215999LL;
constexpr size_t kFormatBufferChars = 128;

int DayOfYear(const SYSTEMTIME& st) {
    static const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int year = st.wYear;
    bool bLeap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDaysBefore[st.wMonth - 1] + st.wDay - 1 + (bLeap && st.wMonth > 2 ? 1 : 0);
}

// Daylight time is in force when local time is further from UTC than the
// zone's standard bias.
int IsDaylightTime(const FILETIME& utc, const FILETIME& local) {
    TIME_ZONE_INFORMATION tzi;
    if (GetTimeZoneInformation(&tzi) == TIME_ZONE_ID_INVALID || tzi.DaylightBias == 0) return 0;
    ULARGE_INTEGER u, l;
    u.LowPart = utc.dwLowDateTime;
    u.HighPart = utc.dwHighDateTime;
    l.LowPart = local.dwLowDateTime;
    l.HighPart = local.dwHighDateTime;
    int64_t nBiasMinutes = (static_cast<int64_t>(u.QuadPart) - static_cast<int64_t>(l.QuadPart)) /
                           (kTicksPerSecond * 60);
    return nBiasMinutes != tzi.Bias ? 1 : 0;
}

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

// The system's zone converts, as Windows does for file times: the C
// runtime would read a TZ variable instead, and under Wine it takes a zone
// name such as Asia/Shanghai for UTC.
struct tm* CTime::GetLocalTm(struct tm* ptm) const {
    if (!ptm || m_time < 0 || m_time > kLastLocalTime) return nullptr;
    FILETIME ftUtc, ftLocal;
    SYSTEMTIME stUtc, stLocal;
    if (!GetAsFileTime(ftUtc) || !FileTimeToSystemTime(&ftUtc, &stUtc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &stUtc, &stLocal) ||
        !SystemTimeToFileTime(&stLocal, &ftLocal)) {
        return nullptr;
    }
    *ptm = {};
    ptm->tm_year = stLocal.wYear - 1900;
    ptm->tm_mon = stLocal.wMonth - 1;
    ptm->tm_mday = stLocal.wDay;
    ptm->tm_hour = stLocal.wHour;
    ptm->tm_min = stLocal.wMinute;
    ptm->tm_sec = stLocal.wSecond;
    ptm->tm_wday = stLocal.wDayOfWeek;
    ptm->tm_yday = DayOfYear(stLocal);
    ptm->tm_isdst = IsDaylightTime(ftUtc, ftLocal);
    return ptm;
}

std::wstring CTime::Format(LPCWSTR pszFormat) const {
    struct tm local;
    if (!pszFormat || !GetLocalTm(&local)) return std::wstring();
    wchar_t szBuffer[kFormatBufferChars];
    size_t nLength = wcsftime(szBuffer, kFormatBufferChars, pszFormat, &local);
    // Text that does not fit gives 0; Wine's CRT gives the cut text, filling
    // the whole buffer with no room left for the terminator.
    if (nLength >= kFormatBufferChars) return std::wstring();
    return std::wstring(szBuffer, nLength);
}
