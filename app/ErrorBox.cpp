#include "app/ErrorBox.h"

#include <cstdio>

#include "framework/Afx.h"

void ShowLastErrorBox(int code) {
    DWORD dwError = GetLastError();
    char* pszSystem = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, dwError, 0, reinterpret_cast<LPSTR>(&pszSystem), 0, nullptr);
    char text[1024];
    snprintf(text, sizeof(text), "%s - %d", pszSystem ? pszSystem : "", code);
    MessageBoxA(nullptr, text, "Warning", MB_ICONINFORMATION);
    LocalFree(pszSystem);
}
