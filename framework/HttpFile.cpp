#include "framework/HttpFile.h"

#include <utility>

CHttpFile::CHttpFile(CInternetHandle&& hConnect, CInternetHandle&& hRequest, DWORD_PTR dwContext,
                     DWORD nTimeoutMs, const std::wstring& strURL)
    : CInternetFile(std::move(hRequest), dwContext, nTimeoutMs, strURL),
      m_hConnect(std::move(hConnect)) {}

// The request goes before the connection it belongs to.
CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::SendRequest(LPCWSTR pstrHeaders, DWORD dwHeadersLength, DWORD nTimeoutMs) {
    HINTERNET hRequest = BeginCall(nTimeoutMs);
    BOOL bOk =
        HttpSendRequestW(hRequest, pstrHeaders, pstrHeaders ? dwHeadersLength : 0, nullptr, 0);
    EndCall(bOk, GetLastError());
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD lpdwIndex) const {
    HINTERNET hRequest = GetHandle();
    if (!hRequest) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD dwValue = 0;
    DWORD cbValue = sizeof(dwValue);
    if (!HttpQueryInfoW(hRequest, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &dwValue, &cbValue,
                        lpdwIndex)) {
        return FALSE;
    }
    dwResult = dwValue;
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, std::wstring& strResult) const {
    HINTERNET hRequest = GetHandle();
    if (!hRequest) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    wchar_t szValue[1024];
    DWORD cbValue = sizeof(szValue) - sizeof(wchar_t);
    if (!HttpQueryInfoW(hRequest, dwInfoLevel, szValue, &cbValue, nullptr)) return FALSE;
    strResult.assign(szValue, cbValue / sizeof(wchar_t));
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const {
    return QueryInfo(HTTP_QUERY_STATUS_CODE, dwStatusCode);
}

void CHttpFile::Close() {
    CInternetFile::Close();
    m_hConnect.Close();
}
