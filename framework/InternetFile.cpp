#include "framework/InternetFile.h"

#include <algorithm>

#include "framework/InternetException.h"

CInternetFile::CInternetFile(CInternetHandle&& hRequest, DWORD_PTR dwContext, DWORD nTimeoutMs,
                             const std::wstring& strURL)
    : m_nTimeoutMs(nTimeoutMs),
      m_watchdog(hRequest.Release()),
      m_dwContext(dwContext),
      m_strURL(strURL) {}

CInternetFile::~CInternetFile() { m_watchdog.CloseHandle(); }

void CInternetFile::Close() { m_watchdog.CloseHandle(); }

UINT CInternetFile::Read(void* lpBuf, UINT nCount) {
    auto* pBuf = static_cast<BYTE*>(lpBuf);
    UINT nTotal = 0;
    while (nTotal < nCount) {
        UINT nRead = ReadSome(pBuf + nTotal, nCount - nTotal);
        if (nRead == 0) break;
        nTotal += nRead;
    }
    return nTotal;
}

// One step of progress: waits for data (or the end of the body) and takes
// what has arrived. InternetReadFile alone would wait for the whole buffer,
// and a slow but steady sender would look stalled to the watchdog.
UINT CInternetFile::ReadSome(BYTE* pBuf, UINT nCount) {
    DWORD nAvailable = 0;
    HINTERNET hRequest = BeginCall(m_nTimeoutMs);
    BOOL bOk = InternetQueryDataAvailable(hRequest, &nAvailable, 0, 0);
    EndCall(bOk, GetLastError());
    if (nAvailable == 0) return 0;

    DWORD nRead = 0;
    hRequest = BeginCall(m_nTimeoutMs);
    bOk = InternetReadFile(hRequest, pBuf, std::min<DWORD>(nAvailable, nCount), &nRead);
    EndCall(bOk, GetLastError());
    return nRead;
}

HINTERNET CInternetFile::BeginCall(DWORD nTimeoutMs) {
    HINTERNET hRequest = m_watchdog.Arm(nTimeoutMs);
    if (!hRequest) AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    return hRequest;
}

void CInternetFile::EndCall(BOOL bOk, DWORD dwError) {
    if (m_watchdog.Disarm()) AfxThrowInternetException(m_dwContext, ERROR_INTERNET_TIMEOUT);
    if (!bOk)
        AfxThrowInternetException(m_dwContext, dwError ? dwError : ERROR_INTERNET_INTERNAL_ERROR);
}
