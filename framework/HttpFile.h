// CHttpFile: the response to an HTTP request opened by
// CInternetSession::OpenURL: status and headers, and the body to read.
//
// Differs from MFC: made only by OpenURL (no CHttpConnection, no
// AddRequestHeaders/SendRequest of its own); owns its connection handle.
#pragma once

#include <string>

#include "framework/InternetFile.h"
#include "framework/InternetHandle.h"

class CHttpFile : public CInternetFile {
public:
    ~CHttpFile() override;

    // A numeric header: dwInfoLevel must include HTTP_QUERY_FLAG_NUMBER.
    // FALSE (GetLastError tells why) when the header is missing.
    BOOL QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex = nullptr) const;
    // A header as text; FALSE when it is missing.
    BOOL QueryInfo(DWORD dwInfoLevel, std::wstring& strResult) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    void Close() override;

private:
    friend class CInternetSession;
    CHttpFile(CInternetHandle&& hConnect, CInternetHandle&& hRequest, DWORD_PTR dwContext,
              DWORD nTimeoutMs, const std::wstring& strURL);
    // Sends the request and waits for the status line, guarded for
    // nTimeoutMs. Throws CInternetException*.
    void SendRequest(LPCWSTR pstrHeaders, DWORD dwHeadersLength, DWORD nTimeoutMs);

    CInternetHandle m_hConnect;
};
