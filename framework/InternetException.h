// CInternetException: a failed WinINet call (or one our session ended for
// want of progress), with the WinINet error code and the request's context.
#pragma once

#include "framework/Exception.h"

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD dwError, DWORD_PTR dwContext = 0)
        : m_dwError(dwError), m_dwContext(dwContext) {}

    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// Throws a new CInternetException; dwError 0 means GetLastError().
[[noreturn]] void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0);
