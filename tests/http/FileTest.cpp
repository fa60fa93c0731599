#include <gtest/gtest.h>

#include "framework/File.h"
#include "tests/support/HttpTestHarness.h"

namespace {

// Opens path with flags; the CFileException cause, or -1 when it opened.
int OpenCause(const std::wstring& path, UINT nFlags, CFile& file) {
    CFileException error;
    if (file.Open(path.c_str(), nFlags, &error)) return -1;
    return error.m_cause;
}

}  // namespace

TEST(File, WithoutShareFlagsTheFileIsExclusive) {
    ScratchDir dir;
    const std::wstring path = dir / L"held.bin";
    struct Case {
        UINT nFirst;
        UINT nSecond;
        bool bSecondOpens;
    } cases[] = {
        {CFile::modeWrite | CFile::modeCreate, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeWrite | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeWrite | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
    };
    WriteWholeFile(path, "abc");
    for (const auto& c : cases) {
        CFile first(path.c_str(), c.nFirst);
        CFile second;
        int cause = OpenCause(path, c.nSecond, second);
        EXPECT_EQ(c.bSecondOpens ? -1 : CFileException::sharingViolation, cause)
            << std::hex << c.nFirst << " then " << c.nSecond;
    }
}

TEST(File, CreateTruncatesUnlessNoTruncateAndOpenNeedsAFile) {
    ScratchDir dir;
    const std::wstring path = dir / L"data.bin";
    struct Case {
        bool bExists;
        UINT nFlags;
        int nExpectedCause;
        ULONGLONG nExpectedLength;
    } cases[] = {
        {true, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate | CFile::typeBinary, -1,
         5},
        {false, CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate, -1, 0},
        {true, CFile::modeWrite | CFile::modeCreate | CFile::typeBinary, -1, 0},
        {true, CFile::modeWrite, -1, 5},
        {false, CFile::modeWrite, CFileException::fileNotFound, 0},
    };
    for (const auto& c : cases) {
        DeleteFileW(path.c_str());
        if (c.bExists) WriteWholeFile(path, "12345");
        CFile file;
        EXPECT_EQ(c.nExpectedCause, OpenCause(path, c.nFlags, file)) << std::hex << c.nFlags;
        if (c.nExpectedCause == -1) {
            EXPECT_EQ(c.nExpectedLength, file.GetLength()) << std::hex << c.nFlags;
            EXPECT_EQ(path, file.GetFilePath());
        }
    }
}

TEST(File, ConstructorThrowsForAPathLongerThanMaxPath) {
    std::wstring path = L"C:\\" + std::wstring(MAX_PATH, L'x') + L".bin";
    int cause = -1;
    try {
        CFile file(path.c_str(), CFile::modeWrite | CFile::modeCreate);
    } catch (CFileException* e) {
        cause = e->m_cause;
        WCHAR sz[1024];
        EXPECT_TRUE(e->GetErrorMessage(sz, 1024));
        e->Delete();
    }
    EXPECT_EQ(CFileException::badPath, cause);
}

TEST(File, SetLengthCutsAndWritesGoOnAtTheNewEnd) {
    ScratchDir dir;
    const std::wstring path = dir / L"cut.bin";
    {
        CFile file(path.c_str(), CFile::modeWrite | CFile::modeCreate);
        file.Write("0123456789", 10);
        file.SetLength(4);
        file.Write("ab", 2);
        EXPECT_EQ(6u, file.SeekToEnd());
        file.Close();
        EXPECT_EQ(L"", file.GetFilePath());
    }
    EXPECT_EQ("0123ab", ReadWholeFile(path));
}

TEST(File, RenameRefusesAnExistingTarget) {
    ScratchDir dir;
    WriteWholeFile(dir / L"a", "new");
    WriteWholeFile(dir / L"b", "old");
    bool bThrew = false;
    try {
        CFile::Rename((dir / L"a").c_str(), (dir / L"b").c_str());
    } catch (CFileException* e) {
        bThrew = true;
        e->Delete();
    }
    EXPECT_TRUE(bThrew);
    EXPECT_EQ("old", ReadWholeFile(dir / L"b"));
    CFile::Rename((dir / L"a").c_str(), (dir / L"c").c_str());
    EXPECT_EQ("new", ReadWholeFile(dir / L"c"));
}

TEST(File, SetStatusAppliesTimesOnlyWhenTheLastWriteTimeIsSet) {
    ScratchDir dir;
    const std::wstring path = dir / L"stamped.bin";
    CFileStatus status;
    {
        CFile file(path.c_str(), CFile::modeWrite | CFile::modeCreate);
        file.Write("x", 1);
        ASSERT_TRUE(file.GetStatus(status));
        EXPECT_EQ(path, std::wstring(status.m_szFullName));
        EXPECT_EQ(1u, status.m_size);
    }
    const CTime written = status.m_mtime;
    ASSERT_NE(0, written.GetTime());

    CFileStatus noTimes = status;
    noTimes.m_ctime = noTimes.m_mtime = noTimes.m_atime = CTime();
    noTimes.m_attribute = FILE_ATTRIBUTE_READONLY;
    CFile::SetStatus(path.c_str(), noTimes);
    CFile reread(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    CFileStatus after;
    ASSERT_TRUE(reread.GetStatus(after));
    EXPECT_EQ(written, after.m_mtime);
    EXPECT_TRUE(after.m_attribute & FILE_ATTRIBUTE_READONLY);
    reread.Close();

    // From read-only back to normal, with a last-write time of 2020-09-13.
    CFileStatus stamped = status;
    stamped.m_mtime = CTime(1600000000);
    stamped.m_attribute = FILE_ATTRIBUTE_NORMAL;
    CFile::SetStatus(path.c_str(), stamped);
    reread.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    ASSERT_TRUE(reread.GetStatus(after));
    EXPECT_EQ(1600000000, after.m_mtime.GetTime());
    EXPECT_FALSE(after.m_attribute & FILE_ATTRIBUTE_READONLY);
}

TEST(Time, FileTimeConversionKeepsWholeSeconds) {
    FILETIME ft;
    ASSERT_TRUE(CTime(1600000000).GetAsFileTime(ft));
    EXPECT_EQ(1600000000, CTime(ft).GetTime());
    ULARGE_INTEGER ticks;
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    ticks.QuadPart += 9999999;  // just under a second more
    ft.dwLowDateTime = ticks.LowPart;
    ft.dwHighDateTime = ticks.HighPart;
    EXPECT_EQ(1600000000, CTime(ft).GetTime());
    EXPECT_EQ(0, CTime().GetTime());
}
