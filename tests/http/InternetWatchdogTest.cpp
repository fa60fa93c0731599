#include <gtest/gtest.h>

#include "framework/InternetException.h"
#include "framework/InternetSession.h"
#include "framework/InternetWatchdog.h"

namespace {

// Any WinINet handle will do: the watchdog only ever closes it.
HINTERNET OpenSomeHandle() {
    return InternetOpenW(L"watchdog test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

}  // namespace

TEST(InternetWatchdog, ClosesTheHandleWhenACallOutlivesItsTimeout) {
    HINTERNET hInternet = OpenSomeHandle();
    ASSERT_NE(nullptr, hInternet);
    CInternetWatchdog watchdog(hInternet);
    ASSERT_EQ(hInternet, watchdog.Arm(50));
    for (int i = 0; i < 500 && watchdog.Handle(); ++i) Sleep(10);
    EXPECT_EQ(nullptr, watchdog.Handle());
    EXPECT_TRUE(watchdog.Disarm());
    // A closed handle cannot be called again.
    EXPECT_EQ(nullptr, watchdog.Arm(50));
}

TEST(InternetWatchdog, CallThatEndsInTimeKeepsTheHandle) {
    HINTERNET hInternet = OpenSomeHandle();
    ASSERT_NE(nullptr, hInternet);
    CInternetWatchdog watchdog(hInternet);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(hInternet, watchdog.Arm(60000));
        EXPECT_FALSE(watchdog.Disarm());
    }
    EXPECT_EQ(hInternet, watchdog.Handle());
}

TEST(InternetSession, OpenUrlRefusesWhatItCannotFetch) {
    struct Case {
        const wchar_t* pszUrl;
        DWORD dwExpectedError;
    } cases[] = {
        {L"not a url", ERROR_INTERNET_INVALID_URL},
        {L"ftp://127.0.0.1/file.bin", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {L"mailto:someone@example.invalid", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
    };
    CInternetSession session;
    for (const auto& c : cases) {
        DWORD dwError = 0;
        DWORD_PTR dwContext = 0;
        try {
            session.OpenURL(c.pszUrl, 7);
        } catch (CInternetException* e) {
            dwError = e->m_dwError;
            dwContext = e->m_dwContext;
            e->Delete();
        }
        EXPECT_EQ(c.dwExpectedError, dwError) << c.pszUrl;
        EXPECT_EQ(7u, dwContext) << c.pszUrl;
    }
}
