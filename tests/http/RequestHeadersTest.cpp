#include <gtest/gtest.h>

#include "download/RequestHeaders.h"

TEST(RequestHeaders, FreshRequestSendsTheTwoFixedLinesOnly) {
    const std::wstring expected =
        L"Accept: */*\r\nUser-Agent:  Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";
    std::wstring headers = BuildRequestHeaders(0);
    EXPECT_EQ(expected, headers);
    EXPECT_EQ(75u, headers.size());
    EXPECT_EQ(std::wstring::npos, headers.find(L"Range"));
}

TEST(RequestHeaders, ResumeAppendsAnOpenEndedRangeLine) {
    struct Case {
        DWORD nOffset;
        const wchar_t* pszRangeLine;
    } cases[] = {
        {1, L"Range: bytes=1-\r\n"},
        {1000, L"Range: bytes=1000-\r\n"},
        {2147483647u, L"Range: bytes=2147483647-\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(kRequestHeaderBlock) + c.pszRangeLine,
                  BuildRequestHeaders(c.nOffset))
            << c.nOffset;
    }
}
