// Time stamps and CTime's local time. Stamps are local time, so the cases
// run twice: in UTC (TZ=UTC) and at UTC+8 (TZ=Asia/Shanghai, the *AtUtc8
// tests), each checking first that the zone is the one it expects.
#include <gtest/gtest.h>

#include <string>

#include "download/TimeStamp.h"
#include "framework/File.h"
#include "framework/StrConv.h"

namespace {

constexpr __time64_t kLastLocalTime = 32535215999LL;  // 3000-12-31 23:59:59 UTC

LONG ZoneBias() {
    TIME_ZONE_INFORMATION tzi;
    GetTimeZoneInformation(&tzi);
    return tzi.Bias;
}

struct StampCase {
    __time64_t time;
    const wchar_t* stamp;
};

void ExpectStamps(const StampCase* first, const StampCase* last) {
    for (const StampCase* c = first; c != last; ++c) {
        EXPECT_EQ(std::wstring(c->stamp), FormatTimeStamp(CTime(c->time))) << "time " << c->time;
    }
}

TEST(TimeStampInUtc, EveryFieldIsZeroPadded) {
    ASSERT_EQ(0, ZoneBias()) << "run with TZ=UTC";
    const StampCase cases[] = {
        {0, L"19700101000000"},
        {1609556645, L"20210102030405"},  // early January, before 10 o'clock
        {1614834367, L"20210304050607"},
        {946684799, L"19991231235959"},
        {1709251199, L"20240229235959"},  // leap day
        {kLastLocalTime, L"30001231235959"},
        // Rejected by the conversion: the empty stamp.
        {-1, L""},
        {kLastLocalTime + 1, L""},
        {1000000000000LL, L""},
    };
    ExpectStamps(std::begin(cases), std::end(cases));
}

TEST(TimeStampInUtc, TimeZeroIsTheUnsetStampAndRejectedTimesAreNot) {
    ASSERT_EQ(0, ZoneBias()) << "run with TZ=UTC";
    EXPECT_TRUE(SameTimeStamp(UnsetTimeStamp, FormatTimeStamp(CTime(0))));
    EXPECT_FALSE(SameTimeStamp(UnsetTimeStamp, FormatTimeStamp(CTime(-1))));
}

TEST(TimeStampAtUtc8, StampsAreLocalTime) {
    ASSERT_EQ(-480, ZoneBias()) << "run with TZ=Asia/Shanghai";
    const StampCase cases[] = {
        {0, L"19700101080000"},          {1614834367, L"20210304130607"},
        {1609430400, L"20210101000000"},  // 2020-12-31 16:00 UTC: the next day here
        {1609397999, L"20201231145959"}, {-1, L""},
    };
    ExpectStamps(std::begin(cases), std::end(cases));
    EXPECT_FALSE(SameTimeStamp(UnsetTimeStamp, FormatTimeStamp(CTime(0))));
}

TEST(TimeStamp, EqualityIsExactText) {
    struct {
        const wchar_t* a;
        const wchar_t* b;
        bool bSame;
    } const cases[] = {
        {L"20210304050607", L"20210304050607", true},
        {L"20210304050607", L"20210304050608", false},
        {L"20210304050607", L"20210304050607 ", false},
        {L"20210304050607", L"2021030405060", false},
        {L"", L"", true},
        {L"", L"19700101000000", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bSame, SameTimeStamp(c.a, c.b)) << WideToAnsi(c.a) << " / " << WideToAnsi(c.b);
    }
}

TEST(CTimeFormat, PatternsAndTheBufferLimit) {
    ASSERT_EQ(0, ZoneBias()) << "run with TZ=UTC";
    CTime time(1614834367);
    EXPECT_EQ(L"2021-03-04/05:06:07", time.Format(L"%Y-%m-%d/%H:%M:%S"));
    EXPECT_EQ(L"063 Thu", time.Format(L"%j %a"));
    std::wstring pattern;
    for (int i = 0; i < 9; ++i) pattern += L"%Y%m%d%H%M%S";  // 126 characters fit
    EXPECT_EQ(126u, time.Format(pattern.c_str()).size());
    pattern += L"%Y";  // 130 do not
    EXPECT_EQ(L"", time.Format(pattern.c_str()));
    EXPECT_EQ(L"", CTime(-1).Format(L"%Y"));
}

// The stamp of an open file is that of its last-write time; a file object
// with nothing open gives time 0.
TEST(TimeStampInUtc, ModificationTimeOfAnOpenFile) {
    ASSERT_EQ(0, ZoneBias()) << "run with TZ=UTC";
    wchar_t szDir[MAX_PATH];
    GetTempPathW(MAX_PATH, szDir);
    std::wstring path = std::wstring(szDir) + L"stamp-" + std::to_wstring(GetCurrentProcessId());
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
        FILETIME ft;
        ASSERT_TRUE(CTime(1609556645).GetAsFileTime(ft));
        ASSERT_TRUE(SetFileTime(file.m_hFile, nullptr, nullptr, &ft));
        EXPECT_EQ(1609556645, GetModificationTime(file).GetTime());
        EXPECT_EQ(L"20210102030405", FormatTimeStamp(GetModificationTime(file)));
    }
    DeleteFileW(path.c_str());
    CFile closed;
    EXPECT_EQ(0, GetModificationTime(closed).GetTime());
}

}  // namespace
