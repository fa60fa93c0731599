// CInternetSession: a WinINet session (InternetOpen) with its options, and
// OpenURL for http and https URLs.
//
// Differs from MFC:
// - The constructor does not throw. A session that could not be opened
//   makes every OpenURL throw the error InternetOpen gave.
// - OpenURL opens http and https only and returns an owned CHttpFile.
// - The timeouts set here hold under Wine too: the receive timeout is also
//   set on each request (Wine ignores it on the session), and a watchdog
//   fails a call that makes no progress for it (see CInternetFile).
#pragma once

#include <memory>

#include "framework/Afx.h"
#include "framework/HttpFile.h"
#include "framework/InternetHandle.h"

class CFtpConnection;

class CInternetSession : public CObject {
public:
    // A null agent means the application's name.
    explicit CInternetSession(LPCWSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                              LPCWSTR pstrProxyName = nullptr, LPCWSTR pstrProxyBypass = nullptr,
                              DWORD dwFlags = 0);
    ~CInternetSession() override;

    // A 4-byte option on the session handle.
    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);
    BOOL QueryOption(DWORD dwOption, DWORD& dwValue) const;

    // Sends a GET and waits for the status. Throws CInternetException* for a
    // URL it cannot open, a failed connection or request, or a timeout.
    std::unique_ptr<CHttpFile> OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1,
                                       DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                                       LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);

    // Connects to an FTP server and logs in; throws CInternetException*.
    // Defined with CFtpConnection.
    std::unique_ptr<CFtpConnection> GetFtpConnection(
        LPCWSTR pstrServer, LPCWSTR pstrUserName = nullptr, LPCWSTR pstrPassword = nullptr,
        INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER, BOOL bPassive = FALSE);

    void Close();
    operator HINTERNET() const { return m_hSession.Get(); }
    DWORD_PTR GetContext() const { return m_dwContext; }

    // Without progress, a body read fails after the receive timeout; sending
    // and waiting for the status may take the connect timeout on top.
    DWORD GetReceiveTimeoutMs() const { return m_nReceiveTimeoutMs; }
    DWORD GetConnectTimeoutMs() const { return m_nConnectTimeoutMs; }

private:
    CInternetHandle m_hSession;
    DWORD m_dwOpenError = 0;
    DWORD_PTR m_dwContext;
    DWORD m_nConnectTimeoutMs = 60000;
    DWORD m_nReceiveTimeoutMs = 60000;
};
