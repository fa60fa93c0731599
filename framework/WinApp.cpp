#include "framework/WinApp.h"

namespace {
CWinApp* s_pApp = nullptr;
}

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_pszAppName(lpszAppName) {
    s_pApp = this;
    m_hInstance = GetModuleHandleW(nullptr);
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp() {
    if (s_pApp == this) s_pApp = nullptr;
    m_hThread = nullptr;  // never ours to close
}

int CWinApp::Run() {
    if (!m_pMainWnd) return ExitInstance();
    return CWinThread::Run();
}

CWinApp* AfxGetApp() { return s_pApp; }

HINSTANCE AfxGetInstanceHandle() {
    return s_pApp ? s_pApp->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxWinMain(HINSTANCE hInstance) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_nThreadID = GetCurrentThreadId();
    try {
        return pApp->InitInstance() ? pApp->Run() : pApp->ExitInstance();
    } catch (...) {
        OutputDebugStringA("exception in application");
        return -1;
    }
}
