#include "framework/FtpConnection.h"

#include <algorithm>
#include <utility>

#include "framework/InternetException.h"
#include "framework/InternetSession.h"

namespace {

constexpr DWORD kDefaultReceiveTimeoutMs = 60000;
constexpr size_t kTimeDigits = 14;  // YYYYMMDDHHMMSS

// The data connection of a running RETR, read with the watchdog of every
// internet file.
class CFtpDataFile : public CInternetFile {
public:
    CFtpDataFile(CInternetHandle&& hFile, DWORD_PTR dwContext, DWORD nTimeoutMs,
                 const std::wstring& strPath)
        : CInternetFile(std::move(hFile), dwContext, nTimeoutMs, strPath) {}
};

LPCWSTR NullIfEmpty(LPCWSTR psz) { return psz && *psz ? psz : nullptr; }

// The text of this thread's last server reply; empty when there is none.
std::wstring LastReplyText() {
    DWORD dwError = 0;
    DWORD cch = 0;
    if (InternetGetLastResponseInfoW(&dwError, nullptr, &cch) || cch == 0) return std::wstring();
    std::wstring text(cch + 1, L'\0');
    DWORD cchBuffer = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoW(&dwError, text.data(), &cchBuffer)) return std::wstring();
    // The count may or may not take in the terminator (Wine's does).
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The text after "<code> ", without surrounding white space; false when the
// reply does not start with that code.
bool ReplyArgument(const std::wstring& reply, const wchar_t* pszCode, std::wstring& argument) {
    size_t first = 0;
    while (first < reply.size() && IsSpace(reply[first])) ++first;
    std::wstring prefix = std::wstring(pszCode) + L" ";
    if (reply.compare(first, prefix.size(), prefix) != 0) return false;
    size_t begin = first + prefix.size();
    size_t end = reply.size();
    while (end > begin && IsSpace(reply[end - 1])) --end;
    argument = reply.substr(begin, end - begin);
    return true;
}

bool AllDigits(const std::wstring& text, size_t first, size_t count) {
    if (first + count > text.size()) return false;
    for (size_t i = first; i < first + count; ++i)
        if (text[i] < L'0' || text[i] > L'9') return false;
    return true;
}

WORD Digits(const std::wstring& text, size_t first, size_t count) {
    WORD value = 0;
    for (size_t i = first; i < first + count; ++i) value = value * 10 + (text[i] - L'0');
    return value;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int cb = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
    std::string out(cb > 0 ? cb : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), cb,
                        nullptr, nullptr);
    return out;
}

// False for bytes that are not UTF-8.
bool FromUtf8(const std::string& bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    int cch = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                  static_cast<int>(bytes.size()), nullptr, 0);
    if (cch <= 0) return false;
    text.assign(cch, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        text.data(), cch);
    return true;
}

}  // namespace

bool ParseFtpTimeReply(const std::wstring& reply, CTime& time) {
    std::wstring value;
    if (!ReplyArgument(reply, L"213", value) || !AllDigits(value, 0, kTimeDigits)) return false;
    // Fractions of a second may follow; nothing else may.
    size_t nFraction = value.size() > kTimeDigits ? value.size() - kTimeDigits - 1 : 0;
    if (value.size() > kTimeDigits && (value[kTimeDigits] != L'.' || nFraction == 0 ||
                                       !AllDigits(value, kTimeDigits + 1, nFraction))) {
        return false;
    }
    SYSTEMTIME st = {};
    st.wYear = Digits(value, 0, 4);
    st.wMonth = Digits(value, 4, 2);
    st.wDay = Digits(value, 6, 2);
    st.wHour = Digits(value, 8, 2);
    st.wMinute = Digits(value, 10, 2);
    st.wSecond = Digits(value, 12, 2);
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return false;  // rejects month 13, hour 24, ...
    time = CTime(ft);
    return true;
}

bool ParseFtpSizeReply(const std::wstring& reply, ULONGLONG& nSize) {
    std::wstring value;
    constexpr size_t kMaxDigits = 19;  // below 2^63: no overflow
    if (!ReplyArgument(reply, L"213", value) || value.empty() || value.size() > kMaxDigits ||
        !AllDigits(value, 0, value.size())) {
        return false;
    }
    ULONGLONG n = 0;
    for (wchar_t c : value) n = n * 10 + static_cast<ULONGLONG>(c - L'0');
    nSize = n;
    return true;
}

// A URL escapes the bytes of a UTF-8 name; the server wants the name.
// Text that does not decode to UTF-8 stays as it was.
std::wstring FtpPathFromUrlObject(const std::wstring& object) {
    std::string bytes = ToUtf8(object);
    std::string decoded;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size()) {
            int hi = HexValue(bytes[i + 1]);
            int lo = HexValue(bytes[i + 2]);
            if (hi >= 0 && lo >= 0) {
                decoded.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        decoded.push_back(bytes[i]);
    }
    std::wstring path;
    return FromUtf8(decoded, path) ? path : object;
}

CFtpConnection::CFtpConnection(CInternetSession* pSession, LPCWSTR pstrServer, LPCWSTR pstrUserName,
                               LPCWSTR pstrPassword, DWORD_PTR dwContext, INTERNET_PORT nPort,
                               BOOL bPassive)
    : m_dwContext(dwContext),
      m_nReceiveTimeoutMs(pSession ? pSession->GetReceiveTimeoutMs() : kDefaultReceiveTimeoutMs),
      m_strServer(pstrServer ? pstrServer : L"") {
    HINTERNET hSession = pSession ? static_cast<HINTERNET>(*pSession) : nullptr;
    if (!hSession) AfxThrowInternetException(dwContext, ERROR_INVALID_HANDLE);
    // WinINet refuses a password without a user name; anonymous takes none.
    LPCWSTR pstrUser = NullIfEmpty(pstrUserName);
    LPCWSTR pstrPass = pstrUser ? NullIfEmpty(pstrPassword) : nullptr;
    m_hConnect.Reset(InternetConnectW(hSession, m_strServer.c_str(), nPort, pstrUser, pstrPass,
                                      INTERNET_SERVICE_FTP, bPassive ? INTERNET_FLAG_PASSIVE : 0,
                                      dwContext));
    if (!m_hConnect) AfxThrowInternetException(dwContext);
}

CFtpConnection::~CFtpConnection() = default;

void CFtpConnection::Close() { m_hConnect.Close(); }

BOOL CFtpConnection::Command(LPCWSTR pszCommand, std::wstring* pstrReply) {
    BOOL bOk = m_hConnect && FtpCommandW(m_hConnect.Get(), FALSE, FTP_TRANSFER_TYPE_BINARY,
                                         pszCommand, m_dwContext, nullptr);
    DWORD dwError = m_hConnect ? GetLastError() : ERROR_INVALID_HANDLE;
    if (pstrReply) {
        // Only a reply that came now is this command's; an older one stays
        // in the thread's record when the command never reached the server.
        bool bReplied = bOk || dwError == ERROR_INTERNET_EXTENDED_ERROR;
        *pstrReply = bReplied ? LastReplyText() : std::wstring();
    }
    SetLastError(bOk ? ERROR_SUCCESS : dwError);
    return bOk;
}

// SIZE and MDTM are asked before any transfer: the control connection
// takes no command while a RETR runs.
std::unique_ptr<CFtpFile> CFtpConnection::OpenFile(LPCWSTR pstrFileName, DWORD dwFlags,
                                                   DWORD_PTR dwContext) {
    std::wstring path = pstrFileName ? pstrFileName : L"";
    std::unique_ptr<CFtpFile> pFile(
        new CFtpFile(*this, path, dwFlags, dwContext, m_nReceiveTimeoutMs));
    // SIZE and REST count bytes only in binary type.
    bool bAscii =
        (dwFlags & (FTP_TRANSFER_TYPE_ASCII | FTP_TRANSFER_TYPE_BINARY)) == FTP_TRANSFER_TYPE_ASCII;
    Command(bAscii ? L"TYPE A" : L"TYPE I");

    std::wstring reply;
    bool bKnownTime =
        Command((L"MDTM " + path).c_str(), &reply) && ParseFtpTimeReply(reply, pFile->m_mtime);
    if (!bKnownTime) pFile->m_mtime = CTime();
    pFile->m_bKnownLength =
        Command((L"SIZE " + path).c_str(), &reply) && ParseFtpSizeReply(reply, pFile->m_nLength);
    DWORD dwError = GetLastError();
    if (!bKnownTime && !pFile->m_bKnownLength) {
        AfxThrowInternetException(dwContext, dwError ? dwError : ERROR_INTERNET_EXTENDED_ERROR);
    }
    return pFile;
}

CFtpFile::CFtpFile(CFtpConnection& connection, const std::wstring& strPath, DWORD dwFlags,
                   DWORD_PTR dwContext, DWORD nTimeoutMs)
    : m_connection(connection),
      m_strPath(strPath),
      m_dwFlags(dwFlags),
      m_dwContext(dwContext),
      m_nTimeoutMs(nTimeoutMs) {}

CFtpFile::~CFtpFile() { Close(); }

BOOL CFtpFile::GetStatus(CFileStatus& rStatus) const {
    rStatus = CFileStatus();
    rStatus.m_mtime = m_mtime;
    rStatus.m_size = m_bKnownLength ? m_nLength : 0;
    m_strPath.copy(rStatus.m_szFullName, std::min<size_t>(m_strPath.size(), MAX_PATH - 1));
    return m_mtime.GetTime() != 0;
}

BOOL CFtpFile::GetLength(ULONGLONG& nLength) const {
    if (!m_bKnownLength) return FALSE;
    nLength = m_nLength;
    return TRUE;
}

ULONGLONG CFtpFile::Seek(LONGLONG lOff, UINT nFrom) {
    if (m_bClosed) AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (m_pData) AfxThrowInternetException(m_dwContext, ERROR_FTP_TRANSFER_IN_PROGRESS);
    LONGLONG nBase = 0;
    switch (nFrom) {
        case CFile::begin: break;
        case CFile::current: nBase = static_cast<LONGLONG>(m_nPosition); break;
        case CFile::end:
            if (!m_bKnownLength) AfxThrowInternetException(m_dwContext, ERROR_INVALID_PARAMETER);
            nBase = static_cast<LONGLONG>(m_nLength);
            break;
        default: AfxThrowInternetException(m_dwContext, ERROR_INVALID_PARAMETER);
    }
    if (nBase + lOff < 0) AfxThrowInternetException(m_dwContext, ERROR_NEGATIVE_SEEK);
    m_nPosition = static_cast<ULONGLONG>(nBase + lOff);
    return m_nPosition;
}

UINT CFtpFile::Read(void* lpBuf, UINT nCount) {
    if (m_bClosed) AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    if (!m_pData) StartTransfer();
    UINT nRead = m_pData->Read(lpBuf, nCount);
    m_nPosition += nRead;
    return nRead;
}

void CFtpFile::Close() {
    m_pData.reset();
    m_bClosed = true;
}

// REST goes right before the transfer is opened: a server may forget it
// after other commands. FtpOpenFile sends TYPE and PORT in between, which
// servers accept.
void CFtpFile::StartTransfer() {
    if (m_nPosition != 0) {
        std::wstring command = L"REST " + std::to_wstring(m_nPosition);
        if (!m_connection.Command(command.c_str())) AfxThrowInternetException(m_dwContext);
    }
    CInternetHandle hFile(
        FtpOpenFileW(m_connection, m_strPath.c_str(), GENERIC_READ, m_dwFlags, m_dwContext));
    if (!hFile) AfxThrowInternetException(m_dwContext);
    m_pData =
        std::make_unique<CFtpDataFile>(std::move(hFile), m_dwContext, m_nTimeoutMs, m_strPath);
}

std::unique_ptr<CFtpConnection> CInternetSession::GetFtpConnection(LPCWSTR pstrServer,
                                                                   LPCWSTR pstrUserName,
                                                                   LPCWSTR pstrPassword,
                                                                   INTERNET_PORT nPort,
                                                                   BOOL bPassive) {
    return std::make_unique<CFtpConnection>(this, pstrServer, pstrUserName, pstrPassword,
                                            m_dwContext, nPort, bPassive);
}
