#include "download/HttpFileObject.h"

#include "download/DownloadFile.h"
#include "download/DownloadPaths.h"
#include "download/DownloadMessages.h"
#include "download/FinalPost.h"
#include "download/RequestHeaders.h"
#include "framework/ParseUrl.h"
#include "framework/StrConv.h"

#ifndef LAUNCHER_INSTALLER_SHA256
#define LAUNCHER_INSTALLER_SHA256 ""
#endif

IMPLEMENT_DYNCREATE(CHttpFileObject)

namespace {

constexpr DWORD kConnectRetries = 3;
constexpr DWORD kStatusPartialContent = 206;
constexpr ULONGLONG kFlushIntervalMs = 1000;
constexpr DWORD kStatusRangeNotSatisfiable = 416;

std::string QueryText(const CHttpFile& file, DWORD dwInfoLevel) {
    std::wstring value;
    return file.QueryInfo(dwInfoLevel, value) ? WideToAnsi(value) : std::string();
}

}  // namespace

CHttpFileObject::CHttpFileObject() : m_strExpectedSha256(LAUNCHER_INSTALLER_SHA256) {}

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
    m_session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, m_nTimeoutMs);
    m_session.SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, m_nTimeoutMs);
    m_session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries);
    DWORD dwService = 0;
    std::wstring server, object;
    INTERNET_PORT nPort = 0;
    return AfxParseURL(m_strUrl.c_str(), dwService, server, object, nPort) != FALSE;
}

void CHttpFileObject::StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent,
                                   DWORD fileTimeLow, DWORD fileTimeHigh) {
    m_fileTime.LowPart = fileTimeLow;
    m_fileTime.HighPart = fileTimeHigh;
    m_strTargetPath = localPath;
    m_bResume = resume;
    m_hStopEvent = hStopEvent;
    m_nResumeOffset = 0;
    try {
        // The kept bytes are hashed once, before the file is opened for
        // writing only; the body is hashed as it comes.
        unsigned long long nHashed = 0;
        if (!m_strExpectedSha256.empty()) {
            m_hash.Reset();
            if (resume) HashFile(TempPathOf(localPath), m_hash, nHashed);
        }
        m_pLocalFile = OpenTempFile(localPath, resume, m_nResumeOffset);
        if (!m_strExpectedSha256.empty() && nHashed != m_nResumeOffset) m_hash.Invalidate();
        m_bHaveRecord = m_nResumeOffset > 0 &&
                        ReadTransferRecord(CompanionPathOf(TempPathOf(localPath)), m_record);
    } catch (CException* e) {
        DiscardException(e);
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
        return;
    }
    // A request that cannot be queued is a failed request: the window must
    // hear of it, or it would wait for ever.
    if (!PostThreadMessage(WM_DOWNLOAD_REQUEST, 0, 0)) {
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
}

void CHttpFileObject::CloseRequest() {
    if (m_pHttpFile) {
        m_pHttpFile->Close();
        m_pHttpFile.reset();
    }
    m_pLocalFile.reset();
}

// m_nTimeoutMs is set by the constructor: a request may be prepared on the
// caller's thread before this runs.
BOOL CHttpFileObject::InitInstance() { return TRUE; }

int CHttpFileObject::ExitInstance() {
    CloseRequest();
    return CWinThread::ExitInstance();
}

BOOL CHttpFileObject::OnThreadMessage(const MSG& msg) {
    if (msg.message != WM_DOWNLOAD_REQUEST) return FALSE;
    try {
        OnDownloadRequest(msg.wParam, msg.lParam);
    } catch (...) {
        // Nothing of ours throws anything else; should the library, the
        // window still gets its final message and the thread lives on.
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
    return TRUE;
}

void CHttpFileObject::OnDownloadRequest(WPARAM, LPARAM) {
    try {
        DWORD dwStatus = SendRequest();
        if (dwStatus < 300) {
            if (m_pLocalFile) {
                if (!IsSameFile(dwStatus)) {
                    StartOver();
                    PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
                    return;
                }
                PositionTempFile(*m_pLocalFile, dwStatus, m_nResumeOffset);
                if (dwStatus != kStatusPartialContent) RecordNewTransfer();
            }
            if (ReceiveBody()) PostFinal(WM_DOWNLOAD_FINISHED, 0, 0);
            return;
        }
        if (dwStatus == kStatusRangeNotSatisfiable && m_pLocalFile) {
            DiscardTempFile(m_pLocalFile);
        }
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, dwStatus);
    } catch (CException* e) {
        DiscardException(e);
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
}

// Sends the GET (resuming when the temporary file holds bytes) and returns
// the status, 0 when it cannot be read.
DWORD CHttpFileObject::SendRequest() {
    std::wstring headers = BuildRequestHeaders(m_nResumeOffset);
    // A server whose file changed since the temporary file began answers
    // with the whole new file instead of the rest of the old one.
    if (m_bHaveRecord) headers += L"If-Range: " + AnsiToWide(m_record.validator) + L"\r\n";
    m_pHttpFile = m_session.OpenURL(m_strUrl.c_str(), kRequestContext, kRequestFlags,
                                    headers.c_str(), static_cast<DWORD>(-1));
    DWORD dwStatus = 0;
    m_pHttpFile->QueryInfoStatusCode(dwStatus);
    return dwStatus;
}

// A 206 must continue exactly the copy the temporary file holds: from its
// length, of the recorded size. Anything else would splice two files.
bool CHttpFileObject::IsSameFile(DWORD dwStatus) {
    if (dwStatus != kStatusPartialContent || m_nResumeOffset == 0) return true;
    const std::string range = QueryText(*m_pHttpFile, HTTP_QUERY_CONTENT_RANGE);
    // Without a record there is nothing to check a missing range against.
    if (range.empty()) return !m_bHaveRecord;
    DWORD nStart = 0, nTotal = 0;
    if (!ParseContentRange(range, nStart, nTotal) || nStart != m_nResumeOffset) return false;
    return !m_bHaveRecord || nTotal == m_record.totalSize;
}

// The temporary file now starts a new copy: remember which, so that a later
// resume continues this copy and no other.
void CHttpFileObject::RecordNewTransfer() {
    if (!m_strExpectedSha256.empty()) m_hash.Reset();
    if (!m_bResume) return;
    const std::wstring companion = CompanionPathOf(m_pLocalFile->GetFilePath());
    TransferRecord record;
    record.validator = ChooseValidator(QueryText(*m_pHttpFile, HTTP_QUERY_ETAG),
                                       QueryText(*m_pHttpFile, HTTP_QUERY_LAST_MODIFIED));
    m_bHaveRecord = !record.validator.empty() &&
                    m_pHttpFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, record.totalSize) &&
                    WriteTransferRecord(companion, record);
    if (m_bHaveRecord) {
        m_record = record;
    } else {
        DeleteFileW(companion.c_str());  // an old record would describe another copy
    }
}

// What the temporary file holds belongs to another copy of the file: empty
// it and forget its record, so that the next attempt fetches it whole.
void CHttpFileObject::StartOver() {
    m_pLocalFile->SetLength(0);
    DeleteFileW(CompanionPathOf(m_pLocalFile->GetFilePath()).c_str());
    m_bHaveRecord = false;
}

// A complete file with the wrong digest is never put in place.
bool CHttpFileObject::VerifyDigest() {
    if (m_strExpectedSha256.empty() || m_hash.FinishHex() == m_strExpectedSha256) return true;
    DeleteFileW(CompanionPathOf(m_pLocalFile->GetFilePath()).c_str());
    DiscardTempFile(m_pLocalFile);
    return false;
}

bool CHttpFileObject::ReceiveBody() {
    if (!m_pLocalFile) {
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
        PostThreadMessage(WM_QUIT, 0, 0);
        return false;
    }
    try {
        DWORD nReceived = 0;
        DWORD nTotal = 0;
        bool bKnownLength = false;
        if (!CopyBody(nReceived, nTotal, bKnownLength)) return false;  // stopped
        // Without a length, a body that ends normally is the whole file.
        if (bKnownLength && nReceived != nTotal) {
            PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
            return false;
        }
        if (!VerifyDigest()) {
            PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
            return false;
        }
        m_pLocalFile->Flush();  // never a renamed but empty installer after a power cut
        FinishedTransfer transfer{m_nResumeOffset, nReceived, nTotal};
        PutFileInPlace(*m_pLocalFile, m_strTargetPath, static_cast<__time64_t>(m_fileTime.QuadPart),
                       m_bResume, transfer);
        return true;
    } catch (CException* e) {
        DiscardException(e);
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
        return false;
    }
}

// Copies the body chunk by chunk, each written to the file before it is
// counted, so the temporary file always holds what progress reported.
// False when the stop event ended the transfer (everything is released).
bool CHttpFileObject::CopyBody(DWORD& nReceived, DWORD& nTotal, bool& bKnownLength) {
    DWORD nLength = 0;
    bKnownLength = m_pHttpFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, nLength) != FALSE;
    nTotal = m_nResumeOffset + nLength;
    nReceived = m_nResumeOffset;
    BYTE chunk[kChunkSize];
    ULONGLONG nLastFlush = GetTickCount64();
    for (;;) {
        UINT nRead = m_pHttpFile->Read(chunk, kChunkSize);
        if (nRead == 0) return true;
        // Written before it is counted: a killed launcher's temporary file
        // holds every byte a progress message reported. Making it durable
        // costs a disk sync, so that happens about once a second and before
        // the file is put in place, not after every chunk.
        m_pLocalFile->Write(chunk, nRead);
        if (GetTickCount64() - nLastFlush >= kFlushIntervalMs) {
            m_pLocalFile->Flush();
            nLastFlush = GetTickCount64();
        }
        if (!m_strExpectedSha256.empty()) m_hash.Update(chunk, nRead);
        nReceived += nRead;
        if (WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0) {
            CloseRequest();
            return false;
        }
        PostNotify(WM_DOWNLOAD_PROGRESS, nReceived, nTotal);
    }
}

// Progress may be dropped when the window's queue is full: the next one
// carries the newer count.
void CHttpFileObject::PostNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hNotifyWnd) ::PostMessageW(m_hNotifyWnd, message, wParam, lParam);
}

void CHttpFileObject::PostFinal(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hNotifyWnd) PostFinalMessage(m_hNotifyWnd, message, wParam, lParam, m_hStopEvent);
}

void CHttpFileObject::DiscardException(CException* pException) {
    WCHAR szMessage[1024];
    pException->GetErrorMessage(szMessage, 1024);
    pException->Delete();
}
