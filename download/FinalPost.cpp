#include "download/FinalPost.h"

bool RetryPost(const std::function<bool()>& tryPost,
               const std::function<bool(DWORD)>& pauseAndCheck, const PostRetryLimits& limits) {
    for (UINT nAttempt = 1;; ++nAttempt) {
        if (tryPost()) return true;
        if (nAttempt >= limits.nMaxAttempts || !pauseAndCheck(limits.nPauseMs)) return false;
    }
}

bool PostFinalMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HANDLE hStopEvent,
                      const PostRetryLimits& limits) {
    PostRetryLimits actual = limits;
    if (GetWindowThreadProcessId(hWnd, nullptr) == GetCurrentThreadId()) actual.nMaxAttempts = 1;
    auto tryPost = [&] { return PostMessageW(hWnd, message, wParam, lParam) != FALSE; };
    auto pauseAndCheck = [&](DWORD nPauseMs) {
        if (!IsWindow(hWnd)) return false;
        if (!hStopEvent) {
            Sleep(nPauseMs);
            return true;
        }
        // Set means the transfer is being abandoned: nobody waits any more.
        return WaitForSingleObject(hStopEvent, nPauseMs) == WAIT_TIMEOUT;
    };
    return RetryPost(tryPost, pauseAndCheck, actual);
}
