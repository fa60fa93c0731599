#include <gtest/gtest.h>

#include "download/DownloadPaths.h"
#include "tests/support/HttpTestHarness.h"

namespace {

std::wstring CurrentDirectory() {
    WCHAR sz[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, sz);
    return std::wstring(sz, n);
}

}  // namespace

TEST(DownloadPaths, TemporaryAndCompanionNamesAppendToTheWholeName) {
    const std::wstring target = L"ny_setup_hx_v1.1.9.5026.exe";
    EXPECT_EQ(L"ny_setup_hx_v1.1.9.5026.exe.xdf", TempPathOf(target));
    EXPECT_EQ(L"C:\\d\\ny_setup_hx_v1.1.9.5026.exe.xdf.tsf",
              CompanionPathOf(L"C:\\d\\ny_setup_hx_v1.1.9.5026.exe.xdf"));
}

TEST(DownloadPaths, DirectoryOfPathIsTheDirectoryOfTheFullForm) {
    struct Case {
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {L"C:\\games\\setup\\a.exe", L"C:\\games\\setup"},
        {L"C:/games/setup/a.exe", L"C:\\games\\setup"},
        {L"C:\\games\\..\\a.exe", L"C:"},
        {L"a.exe.xdf", CurrentDirectory()},
        {L"\\\\server\\share\\a.exe", L"\\\\server\\share"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, DirectoryOfPath(c.path)) << c.path;
}

TEST(DownloadPaths, DirectoryOfAPathTooLongForMaxPathIsEmpty) {
    std::wstring path = L"C:\\" + std::wstring(MAX_PATH, L'a') + L"\\b.exe";
    EXPECT_EQ(L"", DirectoryOfPath(path));
}

TEST(DownloadPaths, CreateDirectoryPathCreatesEveryMissingParent) {
    ScratchDir dir;
    std::wstring deep = dir / L"one\\two\\three";
    EXPECT_TRUE(CreateDirectoryPath(deep));
    EXPECT_TRUE(GetFileAttributesW(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FileExists(deep));
    // Existing, and no separator at all: nothing to do.
    EXPECT_TRUE(CreateDirectoryPath(deep));
    EXPECT_TRUE(CreateDirectoryPath(L"no-separator-here"));
    EXPECT_FALSE(FileExists(L"no-separator-here"));
}

TEST(DownloadPaths, CreateDirectoryPathFailsBelowAFile) {
    ScratchDir dir;
    WriteWholeFile(dir / L"plain", "x");
    EXPECT_FALSE(CreateDirectoryPath(dir / L"plain\\sub\\deeper"));
    EXPECT_FALSE(FileExists(dir / L"plain\\sub"));
}
