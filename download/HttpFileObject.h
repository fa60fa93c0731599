// CHttpFileObject: the HTTP download worker, a thread with its own queue.
// The caller's thread prepares and starts a request; the worker's thread runs
// it and reports by posting the download messages to m_hNotifyWnd.
#pragma once

#include <string>

#include "framework/WinThread.h"

class CFile;

class CHttpFileObject : public CWinThread {
    DECLARE_DYNCREATE(CHttpFileObject)
public:
    CHttpFileObject();
    ~CHttpFileObject() override;

    HWND m_hNotifyWnd = nullptr;

    // Caller's thread.
    bool PrepareRequest(const std::wstring& url, const std::wstring& text1,
                        const std::wstring& text2, const std::wstring& text3,
                        const std::wstring& text4);
    void StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent,
                      DWORD fileTimeLow, DWORD fileTimeHigh);
    // Either thread, never while the other is inside a request.
    void CloseRequest();

    // Worker's thread.
    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnThreadMessage(const MSG& msg) override;
    void OnDownloadRequest(WPARAM wParam, LPARAM lParam);

protected:
    void PostNotify(UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring m_strUrl;
    CFile* m_pLocalFile = nullptr;
    DWORD m_fileTime[2] = {0, 0};
    std::wstring m_strTargetPath;
    std::wstring m_strText[4];
    bool m_bResume = false;
    DWORD m_nResumeOffset = 0;
    DWORD m_nTimeoutMs = 3000;
    HANDLE m_hStopEvent = nullptr;
};
