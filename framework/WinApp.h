// CWinApp / CWinAppEx: the application object and its entry point.
//
// Differs from MFC: there is no document or settings machinery; CWinAppEx
// only records the smart-update flag it is given.
#pragma once

#include "framework/WinThread.h"

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName;

    BOOL InitInstance() override { return TRUE; }
    // Quits at once when no main window was named, as the launcher relies on.
    int Run() override;
};

class CWinAppEx : public CWinApp {
public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE)
        : m_bResourceSmartUpdate(bResourceSmartUpdate) {}
    BOOL m_bResourceSmartUpdate;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// The body of WinMain: runs the application object's InitInstance and Run.
int AfxWinMain(HINSTANCE hInstance);
