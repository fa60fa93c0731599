// Posting the message that ends a request. A progress message may be lost
// when the window's queue is full (the next one says more), but the final
// one must arrive: the window waits for it before it starts the next
// request.
#pragma once

#include <functional>

#include "framework/Afx.h"

struct PostRetryLimits {
    DWORD nPauseMs = 10;
    UINT nMaxAttempts = 1000;  // about 10 s of refusals
};

// Calls tryPost until it succeeds. Between attempts, pauseAndCheck(nPauseMs)
// waits and returns false when trying again is of no use. At most
// nMaxAttempts attempts. True when a post succeeded.
bool RetryPost(const std::function<bool()>& tryPost,
               const std::function<bool(DWORD)>& pauseAndCheck,
               const PostRetryLimits& limits = PostRetryLimits());

// Posts to hWnd, retrying while the queue refuses, until the window is gone
// or hStopEvent (may be null) is set. A window of the calling thread gets
// one attempt: its queue cannot drain while we wait.
bool PostFinalMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HANDLE hStopEvent,
                      const PostRetryLimits& limits = PostRetryLimits());
