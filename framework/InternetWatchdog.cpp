#include "framework/InternetWatchdog.h"

namespace {

// Holds an SRW lock exclusively for a scope.
class CLockGuard {
public:
    explicit CLockGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~CLockGuard() { ReleaseSRWLockExclusive(&m_lock); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace

CInternetWatchdog::CInternetWatchdog(HINTERNET hRequest) : m_hRequest(hRequest) {
    m_hThread = ::CreateThread(nullptr, 0, ThreadEntry, this, 0, nullptr);
}

CInternetWatchdog::~CInternetWatchdog() {
    {
        CLockGuard guard(m_lock);
        m_bQuit = true;
    }
    WakeConditionVariable(&m_wake);
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
    }
    CloseHandle();
}

HINTERNET CInternetWatchdog::Arm(DWORD nTimeoutMs) {
    HINTERNET hRequest;
    {
        CLockGuard guard(m_lock);
        hRequest = m_hRequest;
        if (!hRequest) return nullptr;
        m_bArmed = true;
        m_bExpired = false;
        m_nDeadline = GetTickCount64() + nTimeoutMs;
    }
    WakeConditionVariable(&m_wake);
    return hRequest;
}

bool CInternetWatchdog::Disarm() {
    CLockGuard guard(m_lock);
    m_bArmed = false;
    return m_bExpired;
}

HINTERNET CInternetWatchdog::Handle() const {
    CLockGuard guard(m_lock);
    return m_hRequest;
}

void CInternetWatchdog::CloseHandle() {
    HINTERNET hRequest;
    {
        CLockGuard guard(m_lock);
        hRequest = TakeHandleLocked();
    }
    if (hRequest) InternetCloseHandle(hRequest);
}

HINTERNET CInternetWatchdog::TakeHandleLocked() {
    HINTERNET hRequest = m_hRequest;
    m_hRequest = nullptr;
    return hRequest;
}

DWORD WINAPI CInternetWatchdog::ThreadEntry(LPVOID pParam) {
    static_cast<CInternetWatchdog*>(pParam)->Watch();
    return 0;
}

void CInternetWatchdog::Watch() {
    AcquireSRWLockExclusive(&m_lock);
    while (!m_bQuit) {
        if (!m_bArmed) {
            SleepConditionVariableSRW(&m_wake, &m_lock, INFINITE, 0);
            continue;
        }
        ULONGLONG nNow = GetTickCount64();
        if (nNow < m_nDeadline) {
            DWORD nWait = static_cast<DWORD>(m_nDeadline - nNow);
            SleepConditionVariableSRW(&m_wake, &m_lock, nWait, 0);
            continue;
        }
        m_bArmed = false;
        m_bExpired = true;
        HINTERNET hRequest = TakeHandleLocked();
        // Closed outside the lock: the owner may be waiting for it to disarm.
        ReleaseSRWLockExclusive(&m_lock);
        if (hRequest) InternetCloseHandle(hRequest);
        AcquireSRWLockExclusive(&m_lock);
    }
    ReleaseSRWLockExclusive(&m_lock);
}
