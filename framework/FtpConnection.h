// CFtpConnection: a logged-in connection to an FTP server (InternetConnect
// with INTERNET_SERVICE_FTP), made by CInternetSession::GetFtpConnection;
// CFtpFile: a file on that server, opened through it for reading.
//
// Differs from MFC:
// - OpenFile finds the file and asks the server for its size (SIZE) and
//   modification time (MDTM), but the transfer (RETR) starts only at the
//   first Read, from the position Seek set (sent as REST), so that a
//   download can resume. MFC's OpenFile starts the transfer at once.
// - CFtpFile::GetStatus gives that time and size; an MFC internet file has
//   no status to give.
// - Command takes commands whose reply comes on the control connection
//   only, and gives the reply's text instead of a CInternetFile.
// - No directory operations, no uploads.
#pragma once

#include <memory>
#include <string>

#include "framework/File.h"
#include "framework/InternetFile.h"
#include "framework/InternetHandle.h"
#include "framework/Time.h"

class CFtpFile;
class CInternetSession;

class CFtpConnection : public CObject {
public:
    // Connects and logs in, or throws CInternetException*. A null or empty
    // user name logs in anonymously. Passive mode off means the server
    // opens each data connection to us (PORT).
    CFtpConnection(CInternetSession* pSession, LPCWSTR pstrServer, LPCWSTR pstrUserName = nullptr,
                   LPCWSTR pstrPassword = nullptr, DWORD_PTR dwContext = 0,
                   INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER, BOOL bPassive = FALSE);
    ~CFtpConnection() override;

    // Sends one command whose reply needs no data connection. TRUE for a
    // positive reply (1xx to 3xx). The reply's text, code first, goes to
    // *pstrReply when given.
    BOOL Command(LPCWSTR pszCommand, std::wstring* pstrReply = nullptr);

    // Finds the file and takes its size and time. Throws
    // CInternetException* when the server knows neither, which is how a
    // missing file answers. The connection must outlive the file.
    std::unique_ptr<CFtpFile> OpenFile(LPCWSTR pstrFileName,
                                       DWORD dwFlags = FTP_TRANSFER_TYPE_BINARY,
                                       DWORD_PTR dwContext = 1);

    void Close();
    operator HINTERNET() const { return m_hConnect.Get(); }
    DWORD_PTR GetContext() const { return m_dwContext; }
    const std::wstring& GetServerName() const { return m_strServer; }

private:
    CInternetHandle m_hConnect;
    DWORD_PTR m_dwContext;
    DWORD m_nReceiveTimeoutMs;
    std::wstring m_strServer;
};

class CFtpFile : public CObject {
public:
    ~CFtpFile() override;

    // m_mtime: the server's modification time, 0 when it gave none;
    // m_size: the size, 0 when unknown; m_szFullName: the path on the
    // server (cut to MAX_PATH). FALSE when the time is unknown.
    BOOL GetStatus(CFileStatus& rStatus) const;
    // The size the server gave. FALSE when it gave none.
    BOOL GetLength(ULONGLONG& nLength) const;

    // Sets where the transfer starts; only before it has started (throws
    // CInternetException* ERROR_FTP_TRANSFER_IN_PROGRESS after). end needs a
    // known length.
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    // The first call starts the transfer (REST when the position is not 0,
    // then RETR); then as CInternetFile::Read: fewer than nCount bytes only
    // at the end. Throws CInternetException*.
    UINT Read(void* lpBuf, UINT nCount);
    // Ends the transfer, if any. A closed file cannot be read again.
    void Close();

    const std::wstring& GetFilePath() const { return m_strPath; }

private:
    friend class CFtpConnection;
    CFtpFile(CFtpConnection& connection, const std::wstring& strPath, DWORD dwFlags,
             DWORD_PTR dwContext, DWORD nTimeoutMs);
    void StartTransfer();

    CFtpConnection& m_connection;
    std::wstring m_strPath;
    DWORD m_dwFlags;
    DWORD_PTR m_dwContext;
    DWORD m_nTimeoutMs;
    CTime m_mtime;
    ULONGLONG m_nLength = 0;
    bool m_bKnownLength = false;
    ULONGLONG m_nPosition = 0;
    bool m_bClosed = false;
    std::unique_ptr<CInternetFile> m_pData;
};

// Reply parsing, kept apart so that it can be tested without a server.
// "213 YYYYMMDDHHMMSS[.fff]", the time in UTC (RFC 3659).
bool ParseFtpTimeReply(const std::wstring& reply, CTime& time);
// "213 <decimal size>".
bool ParseFtpSizeReply(const std::wstring& reply, ULONGLONG& nSize);
// The path of a URL's object for the server: %XX escapes decoded as UTF-8.
std::wstring FtpPathFromUrlObject(const std::wstring& object);
