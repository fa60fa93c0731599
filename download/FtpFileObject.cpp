#include "download/FtpFileObject.h"

#include "download/DownloadMessages.h"
#include "download/FinalPost.h"
#include "download/TimeStamp.h"
#include "framework/ParseUrl.h"

#include <shlwapi.h>

IMPLEMENT_DYNCREATE(CFtpFileObject)

namespace {

constexpr DWORD kConnectRetries = 3;
constexpr UINT kLocalWriteFlags = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary;
// A resume file holds 28 bytes; anything much larger holds no stamp.
constexpr ULONGLONG kMaxResumeFileBytes = 4096;

}  // namespace

CFtpFileObject::CFtpFileObject() = default;

CFtpFileObject::~CFtpFileObject() {
    CloseRequest();
    m_pLocalFile.reset();
}

bool CFtpFileObject::PrepareRequest(const std::wstring& url, const std::wstring& shared1,
                                    const std::wstring& shared2, const std::wstring& user,
                                    const std::wstring& password) {
    if (m_pRemoteFile) CloseRequest();
    m_strUrl = url;
    m_strShared1 = shared1;
    m_strShared2 = shared2;
    m_strUser = user;
    m_strPassword = password;
    return Connect() && OpenRemoteFile();
}

bool CFtpFileObject::Connect() {
    // The connection and the remote file die with their session: letting
    // them outlive it would close handles that WinINet may have reused.
    m_pRemoteFile.reset();
    m_pConnection.reset();
    m_pSession.reset();
    m_nBytesReceived = 0;
    m_pSession = std::make_unique<CInternetSession>(nullptr, kContext, INTERNET_OPEN_TYPE_PRECONFIG,
                                                    nullptr, nullptr, 0);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, m_nTimeoutMs);
    m_pSession->SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, m_nTimeoutMs);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries);

    DWORD dwService = 0;
    std::wstring server, object, urlUser, urlPassword;
    INTERNET_PORT nPort = 0;
    if (!AfxParseURLEx(m_strUrl.c_str(), dwService, server, object, nPort, urlUser, urlPassword)) {
        return false;
    }
    m_strRemotePath = FtpPathFromUrlObject(object);
    // Without a user of its own (the manager gives none), the URL's login
    // is used, and without that an anonymous one.
    bool bOwnUser = !m_strUser.empty();
    const std::wstring& strUser = bOwnUser ? m_strUser : urlUser;
    const std::wstring& strPassword = bOwnUser ? m_strPassword : urlPassword;
    try {
        m_pConnection = m_pSession->GetFtpConnection(server.c_str(), strUser.c_str(),
                                                     strPassword.c_str(), nPort, FALSE);
    } catch (CException* e) {
        DiscardException(e);
        return false;
    }
    return true;
}

bool CFtpFileObject::OpenRemoteFile() {
    try {
        m_pRemoteFile =
            m_pConnection->OpenFile(m_strRemotePath.c_str(), FTP_TRANSFER_TYPE_BINARY, kContext);
    } catch (CException* e) {
        DiscardException(e);
        return false;
    }
    return true;
}

void CFtpFileObject::CloseRequest() {
    m_pRemoteFile.reset();
    m_pConnection.reset();
    m_pSession.reset();
    m_nRequestNumber = -1;
    m_strDate = L"1970-01-01";
    m_strDateTime = L"1970-01-01/00:00:00";
    m_strAddress = L"0.0.0.0";
}

void CFtpFileObject::StartRequest(const std::wstring& localPath, bool resume, HANDLE hStopEvent) {
    if (!m_pRemoteFile) return;
    m_hStopEvent = hStopEvent;
    m_bTransferDone = false;
    // Read-only, hidden or system: any of them refuses opening for writing.
    if (PathFileExistsW(localPath.c_str())) {
        SetFileAttributesW(localPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    m_nResumeOffset = 0;
    try {
        OpenLocalFile(localPath, resume);
    } catch (CException* e) {
        DiscardException(e);
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
        return;
    }
    if (!PostThreadMessage(WM_DOWNLOAD_REQUEST, 0, 0)) {
        m_pLocalFile.reset();
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
}

// Throws CFileException*; m_pLocalFile changes only when a file opened.
void CFtpFileObject::OpenLocalFile(const std::wstring& localPath, bool bResume) {
    if (bResume && CanResume(localPath)) {
        auto pFile =
            std::make_unique<CFile>(localPath.c_str(), kLocalWriteFlags | CFile::modeNoTruncate);
        // Files of 4 GiB and more are outside the design: the low half counts.
        DWORD nLength = static_cast<DWORD>(pFile->SeekToEnd());
        m_pLocalFile = std::move(pFile);
        m_nResumeOffset = nLength;
        return;
    }
    if (bResume) WriteResumeStamp(localPath);
    m_pLocalFile = std::make_unique<CFile>(localPath.c_str(), kLocalWriteFlags);
}

std::wstring CFtpFileObject::ResumeFilePath(const std::wstring& localPath) {
    return localPath + L".rsm";
}

bool CFtpFileObject::CanResume(const std::wstring& localPath) const {
    std::wstring resumePath = ResumeFilePath(localPath);
    if (!PathFileExistsW(localPath.c_str()) || !PathFileExistsW(resumePath.c_str())) return false;
    std::wstring stored;
    try {
        stored = ReadResumeStamp(resumePath);
    } catch (CException* e) {
        DiscardException(e);
        return false;
    }
    return StampAllowsResume(stored, RemoteFileTime());
}

// The whole file as UTF-16LE text (an odd last byte is dropped). Throws
// CFileException*.
std::wstring CFtpFileObject::ReadResumeStamp(const std::wstring& resumePath) const {
    CFile file(resumePath.c_str(), CFile::modeRead | CFile::typeBinary);
    ULONGLONG nLength = file.SeekToEnd();
    file.SeekToBegin();
    if (nLength > kMaxResumeFileBytes) return std::wstring();
    std::wstring text(static_cast<size_t>(nLength / sizeof(wchar_t)), L'\0');
    UINT nBytes = static_cast<UINT>(text.size() * sizeof(wchar_t));
    UINT nRead = file.Read(text.data(), nBytes);
    text.resize(nRead / sizeof(wchar_t));
    file.Close();
    return text;
}

void CFtpFileObject::WriteResumeStamp(const std::wstring& localPath) const {
    std::wstring resumePath = ResumeFilePath(localPath);
    std::wstring stamp = StampFor(RemoteFileTime());
    try {
        CFile file(resumePath.c_str(), kLocalWriteFlags);
        file.Write(stamp.data(), static_cast<UINT>(stamp.size() * sizeof(wchar_t)));
        file.Close();
    } catch (CException* e) {
        DiscardException(e);  // the download starts from zero all the same
    }
}

bool CFtpFileObject::StampAllowsResume(const std::wstring& stored, const CTime& remoteTime) {
    if (remoteTime.GetTime() == 0) return false;
    std::wstring current = FormatTimeStamp(remoteTime);
    if (current.empty() || SameTimeStamp(stored, UnsetTimeStamp)) return false;
    return SameTimeStamp(stored, current);
}

std::wstring CFtpFileObject::StampFor(const CTime& remoteTime) {
    std::wstring stamp = remoteTime.GetTime() == 0 ? std::wstring() : FormatTimeStamp(remoteTime);
    return stamp.empty() ? UnsetTimeStamp : stamp;
}

CTime CFtpFileObject::RemoteFileTime() const {
    return m_pRemoteFile ? GetModificationTime(*m_pRemoteFile) : CTime();
}

BOOL CFtpFileObject::InitInstance() { return TRUE; }

int CFtpFileObject::ExitInstance() {
    CloseFiles();
    CloseRequest();
    return CWinThread::ExitInstance();
}

BOOL CFtpFileObject::OnThreadMessage(const MSG& msg) {
    if (msg.message != WM_DOWNLOAD_REQUEST) return FALSE;
    try {
        OnDownloadRequest();
    } catch (...) {
        // Nothing of ours throws anything else; should the library, the
        // request still ends and the thread lives on.
        CloseFiles();
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
    return TRUE;
}

void CFtpFileObject::OnDownloadRequest() {
    TransferEnd end = TransferEnd::Failed;
    if (m_pRemoteFile && m_pLocalFile) {
        try {
            end = TransferRemoteFile();
            // A close that fails may have lost the last bytes.
            if (end == TransferEnd::Finished) m_pLocalFile->Close();
        } catch (CException* e) {
            DiscardException(e);
            end = TransferEnd::Failed;
        }
    }
    CloseFiles();
    if (end == TransferEnd::Finished) {
        m_bTransferDone = true;
        PostFinal(WM_DOWNLOAD_FINISHED, 0, 0);
    } else if (end == TransferEnd::Failed) {
        PostFinal(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    }
}

CFtpFileObject::TransferEnd CFtpFileObject::TransferRemoteFile() {
    ULONGLONG nLength = 0;
    bool bKnownLength = m_pRemoteFile->GetLength(nLength) != FALSE;
    DWORD nStart = ChooseStartOffset(bKnownLength, nLength);
    DWORD nTotal = static_cast<DWORD>(nLength);
    if (bKnownLength && nStart == nTotal) return TransferEnd::Finished;  // nothing left
    m_pRemoteFile->Seek(nStart, CFile::begin);
    return CopyChunks(nStart, bKnownLength, nTotal);
}

// The resume offset, unless the local file is longer than the remote one
// and so cannot be its beginning: then the local file is emptied and the
// transfer starts from zero.
DWORD CFtpFileObject::ChooseStartOffset(bool bKnownLength, ULONGLONG nLength) {
    if (!bKnownLength || m_nResumeOffset <= nLength) return m_nResumeOffset;
    m_pLocalFile->SetLength(0);
    return 0;
}

// Each chunk is written and flushed before it is counted, so the local file
// always holds what progress reported.
CFtpFileObject::TransferEnd CFtpFileObject::CopyChunks(DWORD nHeld, bool bKnownLength,
                                                       DWORD nTotal) {
    BYTE chunk[kChunkSize];
    for (;;) {
        UINT nRead = m_pRemoteFile->Read(chunk, kChunkSize);
        if (nRead == 0) break;
        m_pLocalFile->Write(chunk, nRead);
        m_pLocalFile->Flush();
        nHeld += nRead;
        m_nBytesReceived += nRead;
        if (StopRequested()) return TransferEnd::Stopped;
        PostNotify(WM_DOWNLOAD_PROGRESS, nHeld, bKnownLength ? nTotal : nHeld);
    }
    // A data connection that breaks off ends like a whole file: only the
    // size tells them apart.
    return !bKnownLength || nHeld == nTotal ? TransferEnd::Finished : TransferEnd::Failed;
}

bool CFtpFileObject::StopRequested() const {
    return m_hStopEvent && WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0;
}

// Ends the transfer on the server and lets go of the local file.
void CFtpFileObject::CloseFiles() {
    if (m_pRemoteFile) m_pRemoteFile->Close();
    m_pLocalFile.reset();
}

void CFtpFileObject::PostNotify(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hNotifyWnd) ::PostMessageW(m_hNotifyWnd, message, wParam, lParam);
}

void CFtpFileObject::PostFinal(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hNotifyWnd) PostFinalMessage(m_hNotifyWnd, message, wParam, lParam, m_hStopEvent);
}

void CFtpFileObject::DiscardException(CException* pException) { pException->Delete(); }
