// CHttpFileObject: the HTTP download worker, a thread with its own queue.
// The caller's thread prepares and starts a request; the worker's thread
// sends the GET, copies the body into the temporary file beside the target
// and reports by posting the download messages to m_hNotifyWnd: progress
// after every chunk, then exactly one WM_DOWNLOAD_FINISHED or
// WM_DOWNLOAD_ERROR, or nothing when the stop event ended the transfer.
#pragma once

#include <memory>
#include <string>

#include "download/Sha256.h"
#include "download/TransferRecord.h"
#include "framework/File.h"
#include "framework/HttpFile.h"
#include "framework/InternetSession.h"
#include "framework/WinThread.h"

class CException;

class CHttpFileObject : public CWinThread {
    DECLARE_DYNCREATE(CHttpFileObject)
public:
    static constexpr UINT kChunkSize = 10240;
    static constexpr DWORD_PTR kRequestContext = 1;
    static constexpr DWORD kRequestFlags =
        INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_TRANSFER_BINARY;

    CHttpFileObject();
    ~CHttpFileObject() override;

    // Written once, before the first request; 0 means post nothing.
    HWND m_hNotifyWnd = nullptr;
    // Lower-case hex SHA-256 the finished file must have; empty: no check.
    // Compiled in (LAUNCHER_INSTALLER_SHA256); tests may set it.
    std::string m_strExpectedSha256;

    // Caller's thread. Releases the previous request; true when the URL is
    // one the worker can fetch.
    bool PrepareRequest(const std::wstring& url, const std::wstring& text1,
                        const std::wstring& text2, const std::wstring& text3,
                        const std::wstring& text4);
    // Caller's thread. Opens the temporary file and queues the request, or
    // posts WM_DOWNLOAD_ERROR when the file cannot be opened.
    void StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent,
                      DWORD fileTimeLow, DWORD fileTimeHigh);
    // Either thread, never while the other is inside a request.
    void CloseRequest();

    // Worker's thread.
    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnThreadMessage(const MSG& msg) override;
    void OnDownloadRequest(WPARAM wParam, LPARAM lParam);
    // True only when the complete file is in place.
    bool ReceiveBody();

protected:
    DWORD SendRequest();
    bool IsSameFile(DWORD dwStatus);
    void RecordNewTransfer();
    void StartOver();
    bool VerifyDigest();
    bool CopyBody(DWORD& nReceived, DWORD& nTotal, bool& bKnownLength);
    void PostNotify(UINT message, WPARAM wParam, LPARAM lParam);
    void PostFinal(UINT message, WPARAM wParam, LPARAM lParam);
    static void DiscardException(CException* pException);

    CInternetSession m_session;
    std::wstring m_strUrl;
    std::unique_ptr<CHttpFile> m_pHttpFile;
    std::unique_ptr<CFile> m_pLocalFile;
    ULARGE_INTEGER m_fileTime = {};  // seconds since 1970; 0 for none
    std::wstring m_strTargetPath;
    std::wstring m_strText[4];
    bool m_bResume = false;
    DWORD m_nResumeOffset = 0;
    DWORD m_nTimeoutMs = 3000;
    HANDLE m_hStopEvent = nullptr;

    // The companion record of the copy the temporary file holds, if any;
    // a resume asks for the rest of that copy only (If-Range).
    TransferRecord m_record;
    bool m_bHaveRecord = false;
    // Digest of the temporary file's bytes so far, when one is expected.
    CSha256 m_hash;
};
