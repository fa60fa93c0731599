#include "framework/InternetSession.h"

#include <algorithm>
#include <string>
#include <utility>

#include "framework/InternetException.h"
#include "framework/ParseUrl.h"
#include "framework/WinApp.h"

namespace {

LPCWSTR DefaultAgent() {
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->m_pszAppName : nullptr;
}

struct RequestTarget {
    bool bSecure = false;
    std::wstring strServer;
    std::wstring strObject;
    std::wstring strUser;
    std::wstring strPassword;
    INTERNET_PORT nPort = 0;
};

// The parts of an http or https URL; throws for anything else.
RequestTarget ParseTarget(LPCWSTR pstrURL, DWORD_PTR dwContext) {
    RequestTarget target;
    DWORD dwService = 0;
    if (!pstrURL || !AfxParseURLEx(pstrURL, dwService, target.strServer, target.strObject,
                                   target.nPort, target.strUser, target.strPassword)) {
        AfxThrowInternetException(dwContext, ERROR_INTERNET_INVALID_URL);
    }
    if (dwService != AFX_INET_SERVICE_HTTP && dwService != AFX_INET_SERVICE_HTTPS) {
        AfxThrowInternetException(dwContext, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    target.bSecure = dwService == AFX_INET_SERVICE_HTTPS;
    // The fragment is the browser's, never the server's.
    size_t hash = target.strObject.find(L'#');
    if (hash != std::wstring::npos) target.strObject.resize(hash);
    return target;
}

LPCWSTR NullIfEmpty(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

}  // namespace

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext) {
    m_hSession.Reset(InternetOpenW(pstrAgent ? pstrAgent : DefaultAgent(), dwAccessType,
                                   pstrProxyName, pstrProxyBypass, dwFlags));
    if (!m_hSession) {
        m_dwOpenError = GetLastError();
        return;
    }
    QueryOption(INTERNET_OPTION_CONNECT_TIMEOUT, m_nConnectTimeoutMs);
    QueryOption(INTERNET_OPTION_RECEIVE_TIMEOUT, m_nReceiveTimeoutMs);
}

CInternetSession::~CInternetSession() = default;

void CInternetSession::Close() { m_hSession.Close(); }

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags) {
    (void)dwFlags;
    switch (dwOption) {
        case INTERNET_OPTION_CONNECT_TIMEOUT: m_nConnectTimeoutMs = dwValue; break;
        case INTERNET_OPTION_RECEIVE_TIMEOUT:
        case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: m_nReceiveTimeoutMs = dwValue; break;
        default: break;
    }
    // A null handle would set the process-wide default instead.
    if (!m_hSession) return FALSE;
    return InternetSetOptionW(m_hSession.Get(), dwOption, &dwValue, sizeof(dwValue));
}

BOOL CInternetSession::QueryOption(DWORD dwOption, DWORD& dwValue) const {
    DWORD dwResult = 0;
    DWORD cbResult = sizeof(dwResult);
    if (!m_hSession || !InternetQueryOptionW(m_hSession.Get(), dwOption, &dwResult, &cbResult)) {
        return FALSE;
    }
    dwValue = dwResult;
    return TRUE;
}

std::unique_ptr<CHttpFile> CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext,
                                                     DWORD dwFlags, LPCWSTR pstrHeaders,
                                                     DWORD dwHeadersLength) {
    if (!m_hSession) AfxThrowInternetException(dwContext, m_dwOpenError);
    RequestTarget target = ParseTarget(pstrURL, dwContext);

    CInternetHandle hConnect(InternetConnectW(
        m_hSession.Get(), target.strServer.c_str(), target.nPort, NullIfEmpty(target.strUser),
        NullIfEmpty(target.strPassword), INTERNET_SERVICE_HTTP, 0, dwContext));
    if (!hConnect) AfxThrowInternetException(dwContext);

    if (target.bSecure) dwFlags |= INTERNET_FLAG_SECURE;
    CInternetHandle hRequest(HttpOpenRequestW(hConnect.Get(), L"GET", target.strObject.c_str(),
                                              nullptr, nullptr, nullptr, dwFlags, dwContext));
    if (!hRequest) AfxThrowInternetException(dwContext);
    // Wine takes the receive timeout only from the request handle.
    DWORD nReceiveTimeout = m_nReceiveTimeoutMs;
    InternetSetOptionW(hRequest.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &nReceiveTimeout,
                       sizeof(nReceiveTimeout));

    std::unique_ptr<CHttpFile> pFile(new CHttpFile(std::move(hConnect), std::move(hRequest),
                                                   dwContext, m_nReceiveTimeoutMs, pstrURL));
    // Connecting is bounded by the connect timeout, the wait for the status
    // by the receive timeout.
    ULONGLONG nSendTimeout = static_cast<ULONGLONG>(m_nConnectTimeoutMs) + m_nReceiveTimeoutMs;
    pFile->SendRequest(pstrHeaders, dwHeadersLength,
                       static_cast<DWORD>(std::min<ULONGLONG>(nSendTimeout, INFINITE - 1)));
    return pFile;
}
