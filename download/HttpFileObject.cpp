// Stand-in worker: takes each request on its own thread and answers it with
// an error, until the real transfer exists.
#include "download/HttpFileObject.h"

#include "download/DownloadMessages.h"
#include "framework/ParseUrl.h"

IMPLEMENT_DYNCREATE(CHttpFileObject)

CHttpFileObject::CHttpFileObject() = default;

CHttpFileObject::~CHttpFileObject() { CloseRequest(); }

bool CHttpFileObject::PrepareRequest(const std::wstring& url, const std::wstring& text1,
                                     const std::wstring& text2, const std::wstring& text3,
                                     const std::wstring& text4) {
    CloseRequest();
    m_strUrl = url;
    m_strText[0] = text1;
    m_strText[1] = text2;
    m_strText[2] = text3;
    m_strText[3] = text4;
    DWORD dwService = 0;
    std::wstring server, object;
    INTERNET_PORT nPort = 0;
    return AfxParseURL(m_strUrl.c_str(), dwService, server, object, nPort) != FALSE;
}

void CHttpFileObject::StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent,
                                   DWORD fileTimeLow, DWORD fileTimeHigh) {
    m_fileTime[0] = fileTimeLow;
    m_fileTime[1] = fileTimeHigh;
    m_strTargetPath = localPath;
    m_bResume = resume;
    m_hStopEvent = hStopEvent;
    m_nResumeOffset = 0;
    PostThreadMessage(WM_DOWNLOAD_REQUEST, 0, 0);
}

void CHttpFileObject::CloseRequest() {}

BOOL CHttpFileObject::InitInstance() {
    m_nTimeoutMs = 3000;
    return TRUE;
}

int CHttpFileObject::ExitInstance() {
    CloseRequest();
    return CWinThread::ExitInstance();
}

BOOL CHttpFileObject::OnThreadMessage(const MSG& msg) {
    if (msg.message != WM_DOWNLOAD_REQUEST) return FALSE;
    OnDownloadRequest(msg.wParam, msg.lParam);
    return TRUE;
}

void CHttpFileObject::OnDownloadRequest(WPARAM, LPARAM) {
    PostNotify(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
}

void CHttpFileObject::PostNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hNotifyWnd) ::PostMessageW(m_hNotifyWnd, message, wParam, lParam);
}
