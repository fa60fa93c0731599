#include "framework/Exception.h"

#include <algorithm>
#include <string>

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    return CopyMessage(std::wstring(), lpszError, nMaxError, pnHelpContext);
}

BOOL CException::CopyMessage(const std::wstring& text, LPWSTR lpszError, UINT nMaxError,
                             PUINT pnHelpContext) {
    if (pnHelpContext) *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0) return FALSE;
    size_t n = std::min<size_t>(text.size(), nMaxError - 1);
    text.copy(lpszError, n);
    lpszError[n] = L'\0';
    return text.empty() ? FALSE : TRUE;
}

std::wstring SystemErrorText(DWORD dwError, HMODULE hModule) {
    DWORD dwFlags =
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    if (hModule) dwFlags |= FORMAT_MESSAGE_FROM_HMODULE;
    LPWSTR pBuffer = nullptr;
    DWORD n = FormatMessageW(dwFlags, hModule, dwError, 0, reinterpret_cast<LPWSTR>(&pBuffer), 0,
                             nullptr);
    std::wstring text;
    if (n && pBuffer) {
        text.assign(pBuffer, n);
        // The system's texts end in a line break we do not want in one-line reports.
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    }
    if (pBuffer) LocalFree(pBuffer);
    return text;
}
