// CInternetFile: the body of an open WinINet request, read like a file.
//
// Differs from MFC: not a CStdioFile (no text mode, no writing, no seeking).
// Every blocking call on the handle is guarded by a watchdog: a call that
// makes no progress for the session's timeout fails with a
// CInternetException (ERROR_INTERNET_TIMEOUT), on Wine as on Windows.
#pragma once

#include <string>

#include "framework/Afx.h"
#include "framework/InternetHandle.h"
#include "framework/InternetWatchdog.h"

class CInternetFile : public CObject {
public:
    ~CInternetFile() override;

    // Reads until lpBuf holds nCount bytes or the body ends; fewer than
    // nCount (0 at the end) only at the end of the body. Throws
    // CInternetException* when a read fails or makes no progress in time.
    UINT Read(void* lpBuf, UINT nCount);
    virtual void Close();

    // The request handle; null once closed.
    HINTERNET GetHandle() const { return m_watchdog.Handle(); }
    DWORD_PTR GetContext() const { return m_dwContext; }
    const std::wstring& GetFileURL() const { return m_strURL; }

protected:
    CInternetFile(CInternetHandle&& hRequest, DWORD_PTR dwContext, DWORD nTimeoutMs,
                  const std::wstring& strURL);

    // A guarded call: BeginCall gives the handle (throwing when it is
    // already closed), EndCall throws for a call that failed or ran out of
    // time.
    HINTERNET BeginCall(DWORD nTimeoutMs);
    void EndCall(BOOL bOk, DWORD dwError);

    DWORD m_nTimeoutMs;

private:
    UINT ReadSome(BYTE* pBuf, UINT nCount);

    CInternetWatchdog m_watchdog;
    DWORD_PTR m_dwContext;
    std::wstring m_strURL;
};
