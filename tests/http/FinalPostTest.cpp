#include <gtest/gtest.h>

#include "download/DownloadMessages.h"
#include "download/FinalPost.h"
#include "tests/support/HttpTestHarness.h"

TEST(FinalPost, RetriesARefusedPostUntilAcceptedStoppedOrOutOfAttempts) {
    struct Case {
        const char* name;
        UINT nRefusals;     // posts refused before one is accepted
        UINT nGiveUpAfter;  // pauseAndCheck says stop at this pause (0: never)
        UINT nMaxAttempts;
        bool bExpected;
        UINT nExpectedAttempts;
    } cases[] = {
        {"accepted at once", 0, 0, 1000, true, 1},
        {"accepted after refusals", 5, 0, 1000, true, 6},
        {"window gone or stop set", 1000, 3, 1000, false, 3},
        {"bounded when never accepted", 100000, 0, 50, false, 50},
    };
    for (const auto& c : cases) {
        UINT nAttempts = 0;
        UINT nPauses = 0;
        auto tryPost = [&] { return nAttempts++ >= c.nRefusals; };
        auto pauseAndCheck = [&](DWORD nPauseMs) {
            EXPECT_EQ(7u, nPauseMs);
            ++nPauses;
            return c.nGiveUpAfter == 0 || nPauses < c.nGiveUpAfter;
        };
        PostRetryLimits limits;
        limits.nPauseMs = 7;
        limits.nMaxAttempts = c.nMaxAttempts;
        EXPECT_EQ(c.bExpected, RetryPost(tryPost, pauseAndCheck, limits)) << c.name;
        EXPECT_EQ(c.nExpectedAttempts, nAttempts) << c.name;
    }
}

TEST(FinalPost, ReachesALiveWindowWithItsParameters) {
    MessageRecorder recorder;
    EXPECT_TRUE(
        PostFinalMessage(recorder.Hwnd(), WM_DOWNLOAD_ERROR, kDownloadErrorCode, 404, nullptr));
    recorder.Drain();
    ASSERT_EQ(1u, recorder.Finals().size());
    EXPECT_EQ(WM_DOWNLOAD_ERROR, recorder.Finals()[0].message);
    EXPECT_EQ(kDownloadErrorCode, recorder.Finals()[0].wParam);
    EXPECT_EQ(404, recorder.Finals()[0].lParam);
}
