#include "framework/WinThread.h"

#include <process.h>

namespace {

struct ThreadStartup {
    CWinThread* pThread;
    HANDLE hQueueReady;
};

}  // namespace

CWinThread::~CWinThread() {
    if (m_hThread) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    HANDLE hQueueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!hQueueReady) return FALSE;
    ThreadStartup startup = {this, hQueueReady};
    unsigned nThreadID = 0;
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, &startup, 0, &nThreadID);
    if (h) {
        m_hThread = reinterpret_cast<HANDLE>(h);
        m_nThreadID = nThreadID;
        // The thread signals as soon as its queue exists, before InitInstance.
        HANDLE waits[2] = {hQueueReady, m_hThread};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    CloseHandle(hQueueReady);
    return h != 0;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam) {
    auto* pStartup = static_cast<ThreadStartup*>(pParam);
    CWinThread* pThread = pStartup->pThread;
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(pStartup->hQueueReady);  // pStartup is gone after this
    return static_cast<unsigned>(pThread->RunThread());
}

int CWinThread::RunThread() {
    int nResult = 0;
    try {
        nResult = InitInstance() ? Run() : ExitInstance();
    } catch (...) {
        OutputDebugStringA("exception in thread");
        nResult = -1;
    }
    if (m_bAutoDelete) delete this;
    return nResult;
}

int CWinThread::Run() {
    MSG msg;
    for (;;) {
        BOOL bRet = GetMessageW(&msg, nullptr, 0, 0);
        if (bRet == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (bRet == -1) break;
        if (!msg.hwnd) {
            OnThreadMessage(msg);
        } else if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    (void)dwCreateFlags;
    auto* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (!pThread) return nullptr;
    if (!pThread->CreateThread(nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    return pThread;
}
