// CWinThread: a thread with its own message queue.
//
// Differs from MFC: AfxBeginThread does not support CREATE_SUSPENDED, and
// thread messages are routed by the virtual OnThreadMessage instead of a
// message map. As in MFC, AfxBeginThread returns only once the new thread
// has a message queue, so a PostThreadMessage right after it cannot fail
// for want of one.
#pragma once

#include "framework/Afx.h"

class CWnd;

class CWinThread : public CObject {
public:
    CWinThread() = default;
    ~CWinThread() override;

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    CWnd* m_pMainWnd = nullptr;

    // Starts the thread and returns once its queue exists.
    BOOL CreateThread(UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
    }

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return m_nExitCode; }
    // The message loop; returns ExitInstance's result after WM_QUIT.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }
    // A message posted to the thread itself; TRUE when handled.
    virtual BOOL OnThreadMessage(const MSG&) { return FALSE; }

protected:
    int m_nExitCode = 0;

private:
    static unsigned __stdcall ThreadEntry(void* pParam);
    int RunThread();
};

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
