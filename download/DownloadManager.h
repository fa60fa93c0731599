// DownloadManager: the one entry point for fetching a file. It owns the HTTP
// worker thread, keeps a slot for an FTP worker, and holds the stop event a
// running transfer watches.
#pragma once

#include <string>

#include "framework/Afx.h"

class CHttpFileObject;
class CFtpFileObject;

class DownloadManager {
public:
    // Creates the manager, and with it the HTTP worker thread, on first use.
    static DownloadManager& Instance();

    DownloadManager(const DownloadManager&) = delete;
    DownloadManager& operator=(const DownloadManager&) = delete;
    ~DownloadManager();

    // Narrow strings in the calling thread's ANSI code page.
    bool StartDownload(const char* url, const char* localName);
    // True when the request was handed to a worker; outcomes arrive by message.
    bool Dispatch(const std::wstring& url, const std::wstring& localPath, bool resume,
                  DWORD fileTimeLow, DWORD fileTimeHigh);
    static DWORD ClassifyUrl(const std::wstring& url);

    CHttpFileObject* m_pHttpWorker = nullptr;
    CFtpFileObject* m_pFtpWorker = nullptr;
    std::wstring m_strShared1;
    std::wstring m_strShared2;
    std::wstring m_strHttpText1;
    std::wstring m_strHttpText2;
    std::wstring m_strFtpUser;
    std::wstring m_strFtpPassword;
    // Auto-reset, created signalled; reset by every Dispatch, set at shutdown.
    HANDLE m_hStopEvent = nullptr;

private:
    DownloadManager();
};
