#include "framework/InternetException.h"

#include <string>

BOOL CInternetException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError,
                                         PUINT pnHelpContext) const {
    // WinINet's codes (12000 and up) live in its own message table.
    std::wstring text = SystemErrorText(m_dwError, GetModuleHandleW(L"wininet.dll"));
    if (text.empty()) text = L"Internet error " + std::to_wstring(m_dwError);
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError) {
    if (dwError == 0) dwError = GetLastError();
    throw new CInternetException(dwError, dwContext);
}
