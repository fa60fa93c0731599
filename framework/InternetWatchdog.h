// CInternetWatchdog: owns a WinINet request handle and ends the calls on it
// that make no progress. A call runs between Arm and Disarm; if it is still
// running when the deadline passes, the watchdog closes the handle (which
// ends a blocked call on Windows) and marks the call as timed out, so that
// the caller reports a timeout even when the call itself returned success.
// Wine keeps a blocked call running until the socket's own receive timeout
// ends it (set per request by CInternetSession); the mark makes that end a
// failure too.
#pragma once

#include "framework/Afx.h"

#include <wininet.h>

class CInternetWatchdog {
public:
    // Takes ownership of hRequest. Without its thread (it could not be
    // started) calls run unguarded.
    explicit CInternetWatchdog(HINTERNET hRequest);
    ~CInternetWatchdog();
    CInternetWatchdog(const CInternetWatchdog&) = delete;
    CInternetWatchdog& operator=(const CInternetWatchdog&) = delete;

    // Starts a guarded call of at most nTimeoutMs without progress. Returns
    // the handle to call with, or null when the handle is already closed.
    HINTERNET Arm(DWORD nTimeoutMs);
    // Ends the guarded call; true when the watchdog ran out of time for it.
    bool Disarm();

    // The handle for unguarded calls (queries); null once closed.
    HINTERNET Handle() const;
    // Closes the handle now, if it is still open.
    void CloseHandle();

private:
    static DWORD WINAPI ThreadEntry(LPVOID pParam);
    void Watch();
    HINTERNET TakeHandleLocked();

    mutable SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_wake = CONDITION_VARIABLE_INIT;
    HINTERNET m_hRequest;
    HANDLE m_hThread = nullptr;
    bool m_bArmed = false;
    bool m_bExpired = false;
    bool m_bQuit = false;
    ULONGLONG m_nDeadline = 0;  // GetTickCount64 value
};
