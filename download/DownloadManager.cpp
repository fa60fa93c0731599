#include "download/DownloadManager.h"

#include "download/FtpFileObject.h"
#include "download/HttpFileObject.h"
#include "framework/ParseUrl.h"
#include "framework/StaticInit.h"
#include "framework/StrConv.h"

#include <shlwapi.h>

namespace {

// Owns the manager from its first use to process exit. Made during static
// initialisation so that its exit-time destruction keeps its place in the
// order of the process-wide objects.
struct ManagerOwner {
    ManagerOwner() {}
    ~ManagerOwner() { delete pManager; }
    DownloadManager* pManager = nullptr;
};

ManagerOwner s_owner INIT_ORDER_DOWNLOAD_MANAGER;

}  // namespace

DownloadManager& DownloadManager::Instance() {
    if (!s_owner.pManager) s_owner.pManager = new DownloadManager;
    return *s_owner.pManager;
}

DownloadManager::DownloadManager() {
    m_pHttpWorker = static_cast<CHttpFileObject*>(AfxBeginThread(RUNTIME_CLASS(CHttpFileObject)));
    if (m_pHttpWorker) m_pHttpWorker->m_bAutoDelete = FALSE;
    m_hStopEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

// The workers are the shutdown's to end; the stop event lives as long as the
// process, since a worker left running may still test it.
DownloadManager::~DownloadManager() = default;

bool DownloadManager::StartDownload(const char* url, const char* localName) {
    return Dispatch(AnsiToWide(url), AnsiToWide(localName), true, 0, 0);
}

bool DownloadManager::Dispatch(const std::wstring& url, const std::wstring& localPath, bool resume,
                               DWORD fileTimeLow, DWORD fileTimeHigh) {
    ResetEvent(m_hStopEvent);
    switch (ClassifyUrl(url)) {
        case AFX_INET_SERVICE_FTP:
            if (!m_pFtpWorker || !m_pFtpWorker->PrepareRequest(url, m_strShared1, m_strShared2,
                                                               m_strFtpUser, m_strFtpPassword))
                return false;
            m_pFtpWorker->StartRequest(localPath, resume, m_hStopEvent);
            return true;
        case AFX_INET_SERVICE_HTTP:
        case AFX_INET_SERVICE_HTTPS:
            if (!m_pHttpWorker || !m_pHttpWorker->PrepareRequest(url, m_strShared1, m_strShared2,
                                                                 m_strHttpText1, m_strHttpText2))
                return false;
            m_pHttpWorker->StartRequest(localPath, resume, m_hStopEvent, fileTimeLow, fileTimeHigh);
            return true;
        default: return false;
    }
}

DWORD DownloadManager::ClassifyUrl(const std::wstring& url) {
    if (PathFileExistsW(url.c_str())) return AFX_INET_SERVICE_FILE;
    DWORD dwService = 0;
    std::wstring server, object;
    INTERNET_PORT nPort = 0;
    if (!AfxParseURL(url.c_str(), dwService, server, object, nPort)) return AFX_INET_SERVICE_FILE;
    return dwService;
}
