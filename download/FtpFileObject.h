// CFtpFileObject: the FTP download worker, a thread with its own queue. The
// manager keeps a slot for it but never creates one, so the launcher
// refuses ftp URLs; the worker is whole for a caller that does create one.
//
// On the caller's thread, PrepareRequest connects and opens the remote file
// (its modification time comes from the server), and StartRequest decides
// from the resume file (the local path + ".rsm", holding the remote file's
// time stamp in UTF-16LE) whether the partial local file may be continued,
// opens the local file and queues WM_DOWNLOAD_REQUEST. The worker's thread
// then copies the remote file into the local one from m_nResumeOffset,
// testing the stop event after every chunk, and closes both files.
//
// Messages go to m_hNotifyWnd only when it is set: progress after every
// chunk, then WM_DOWNLOAD_FINISHED or one WM_DOWNLOAD_ERROR, or nothing
// when the stop event ended the transfer.
#pragma once

#include <memory>
#include <string>

#include "framework/File.h"
#include "framework/FtpConnection.h"
#include "framework/InternetSession.h"
#include "framework/Time.h"
#include "framework/WinThread.h"

class CException;

class CFtpFileObject : public CWinThread {
    DECLARE_DYNCREATE(CFtpFileObject)
public:
    static constexpr UINT kChunkSize = 10240;
    static constexpr DWORD_PTR kContext = 1;

    CFtpFileObject();
    ~CFtpFileObject() override;

    // Written before the first request; 0 means post nothing.
    HWND m_hNotifyWnd = nullptr;

    // Caller's thread. Releases the previous request, connects and opens
    // the remote file; true when it is there to fetch.
    bool PrepareRequest(const std::wstring& url, const std::wstring& shared1,
                        const std::wstring& shared2, const std::wstring& user,
                        const std::wstring& password);
    // Caller's thread. Opens the local file (continuing it when the resume
    // file allows) and queues the transfer. Does nothing without a remote
    // file; a local file that cannot be opened ends the request with
    // WM_DOWNLOAD_ERROR.
    void StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent);
    // Lets go of whatever it holds of a server, then opens a fresh session
    // and connection for m_strUrl; false when the URL does not parse or the
    // server cannot be reached or refuses the login.
    bool Connect();
    // Releases the remote file, the connection and the session.
    void CloseRequest();

    // Whether the local file may be continued: it exists and its resume
    // file holds the stamp of the remote file's current time.
    bool CanResume(const std::wstring& localPath) const;
    // Writes the remote file's stamp into the resume file; silent on failure.
    void WriteResumeStamp(const std::wstring& localPath) const;

    static std::wstring ResumeFilePath(const std::wstring& localPath);
    // The decision behind CanResume. An unknown remote time (0) or one
    // that cannot be formatted never allows resuming: there is nothing to
    // compare, and in a zone other than UTC the stamp of time 0 is not the
    // unset stamp, so it would match itself.
    static bool StampAllowsResume(const std::wstring& stored, const CTime& remoteTime);
    // The stamp the resume file gets: the unset stamp for an unknown time.
    static std::wstring StampFor(const CTime& remoteTime);

    // Request state, for a caller that shows it.
    DWORD GetResumeOffset() const { return m_nResumeOffset; }
    bool HasRemoteFile() const { return m_pRemoteFile != nullptr; }
    bool IsTransferDone() const { return m_bTransferDone; }

    // Worker's thread.
    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnThreadMessage(const MSG& msg) override;

protected:
    enum class TransferEnd { Finished, Stopped, Failed };

    bool OpenRemoteFile();
    void OpenLocalFile(const std::wstring& localPath, bool bResume);
    std::wstring ReadResumeStamp(const std::wstring& localPath) const;
    CTime RemoteFileTime() const;

    void OnDownloadRequest();
    TransferEnd TransferRemoteFile();
    DWORD ChooseStartOffset(bool bKnownLength, ULONGLONG nLength);
    TransferEnd CopyChunks(DWORD nHeld, bool bKnownLength, DWORD nTotal);
    bool StopRequested() const;
    void CloseFiles();

    void PostNotify(UINT message, WPARAM wParam, LPARAM lParam);
    void PostFinal(UINT message, WPARAM wParam, LPARAM lParam);
    static void DiscardException(CException* pException);

    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CFtpConnection> m_pConnection;
    std::wstring m_strUrl;
    std::unique_ptr<CFtpFile> m_pRemoteFile;
    std::unique_ptr<CFile> m_pLocalFile;
    std::wstring m_strShared1;  // the manager's shared texts; not read here
    std::wstring m_strShared2;
    std::wstring m_strUser;
    std::wstring m_strPassword;
    bool m_bTransferDone = false;  // cleared by StartRequest, set when the file is whole
    DWORD m_nResumeOffset = 0;
    DWORD m_nTimeoutMs = 3000;
    DWORD m_nBytesReceived = 0;     // in this request; cleared by Connect
    HANDLE m_hStopEvent = nullptr;  // the manager's
    // Request details a caller may keep here; only CloseRequest touches
    // them, resetting them.
    LONG m_nRequestNumber = -1;
    std::wstring m_strDate = L"1970-01-01";
    std::wstring m_strDateTime = L"1970-01-01/00:00:00";
    std::wstring m_strAddress = L"0.0.0.0";
    // Taken from the URL by Connect.
    std::wstring m_strRemotePath;
};
