#include "framework/File.h"

namespace {

// MFC's mapping of the mode bits to CreateFileW's access, share and
// disposition arguments. FALSE for a combination MFC rejects.
struct CreateArgs {
    DWORD dwAccess = 0;
    DWORD dwShare = 0;
    DWORD dwDisposition = 0;
    DWORD dwFlags = FILE_ATTRIBUTE_NORMAL;
    BOOL bInherit = TRUE;
};

bool MapOpenFlags(UINT nOpenFlags, CreateArgs& args) {
    switch (nOpenFlags & 3) {
        case CFile::modeRead: args.dwAccess = GENERIC_READ; break;
        case CFile::modeWrite: args.dwAccess = GENERIC_WRITE; break;
        case CFile::modeReadWrite: args.dwAccess = GENERIC_READ | GENERIC_WRITE; break;
        default: return false;
    }
    switch (nOpenFlags & 0x70) {
        case CFile::shareCompat:
        case CFile::shareExclusive: args.dwShare = 0; break;
        case CFile::shareDenyWrite: args.dwShare = FILE_SHARE_READ; break;
        case CFile::shareDenyRead: args.dwShare = FILE_SHARE_WRITE; break;
        case CFile::shareDenyNone: args.dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        default: return false;
    }
    if (nOpenFlags & CFile::modeCreate) {
        args.dwDisposition = (nOpenFlags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    } else {
        args.dwDisposition = OPEN_EXISTING;
    }
    if (nOpenFlags & CFile::osNoBuffer) args.dwFlags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & CFile::osWriteThrough) args.dwFlags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & CFile::osRandomAccess) args.dwFlags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & CFile::osSequentialScan) args.dwFlags |= FILE_FLAG_SEQUENTIAL_SCAN;
    args.bInherit = (nOpenFlags & CFile::modeNoInherit) ? FALSE : TRUE;
    return true;
}

void SetError(CFileException* pError, LONG lOsError, const std::wstring& name) {
    if (!pError) return;
    pError->m_lOsError = lOsError;
    pError->m_cause = CFileException::OsErrorToException(lOsError);
    pError->m_strFileName = name;
}

}  // namespace

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) {
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error)) {
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    }
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    Abort();
    std::wstring name = lpszFileName ? lpszFileName : L"";
    // The path is made full in a MAX_PATH buffer: a longer one cannot be opened.
    WCHAR szFull[MAX_PATH];
    DWORD nFull = GetFullPathNameW(name.c_str(), MAX_PATH, szFull, nullptr);
    if (name.empty() || nFull == 0 || nFull >= MAX_PATH) {
        SetError(pError, ERROR_FILENAME_EXCED_RANGE, name);
        return FALSE;
    }
    CreateArgs args;
    if (!MapOpenFlags(nOpenFlags, args)) {
        SetError(pError, ERROR_INVALID_PARAMETER, szFull);
        return FALSE;
    }
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, args.bInherit};
    HANDLE hFile = CreateFileW(szFull, args.dwAccess, args.dwShare, &sa, args.dwDisposition,
                               args.dwFlags, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        SetError(pError, static_cast<LONG>(GetLastError()), szFull);
        return FALSE;
    }
    m_hFile = hFile;
    m_strFileName = szFull;
    return TRUE;
}

void CFile::Close() {
    BOOL bOk = TRUE;
    if (m_hFile != INVALID_HANDLE_VALUE) bOk = CloseHandle(m_hFile);
    DWORD dwError = GetLastError();
    m_hFile = INVALID_HANDLE_VALUE;
    std::wstring name;
    name.swap(m_strFileName);
    if (!bOk) CFileException::ThrowOsError(static_cast<LONG>(dwError), name);
}

void CFile::Abort() {
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.clear();
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0) return 0;
    DWORD nRead = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &nRead, nullptr)) ThrowLastError();
    return nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return;
    DWORD nWritten = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &nWritten, nullptr)) ThrowLastError();
    // A short write on a disk file means the disk is full.
    if (nWritten != nCount) CFileException::ThrowOsError(ERROR_DISK_FULL, m_strFileName);
}

void CFile::Flush() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    if (!FlushFileBuffers(m_hFile)) ThrowLastError();
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    LARGE_INTEGER distance;
    distance.QuadPart = lOff;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, nFrom)) ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size)) ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile)) ThrowLastError();
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const {
    rStatus = CFileStatus();
    BY_HANDLE_FILE_INFORMATION info;
    if (m_hFile == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(m_hFile, &info)) {
        return FALSE;
    }
    if (m_strFileName.size() >= MAX_PATH) return FALSE;
    m_strFileName.copy(rStatus.m_szFullName, m_strFileName.size());
    rStatus.m_ctime = CTime(info.ftCreationTime);
    rStatus.m_mtime = CTime(info.ftLastWriteTime);
    rStatus.m_atime = CTime(info.ftLastAccessTime);
    rStatus.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    rStatus.m_attribute = info.dwFileAttributes;
    return TRUE;
}

void CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName) {
    if (!MoveFileW(lpszOldName, lpszNewName)) {
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
    }
}

namespace {

void ThrowLastErrorFor(LPCWSTR lpszFileName) {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}

void ApplyTimes(LPCWSTR lpszFileName, const CFileStatus& status) {
    FILETIME ftCreation, ftAccess, ftWrite;
    const FILETIME* pCreation = nullptr;
    const FILETIME* pAccess = nullptr;
    if (!status.m_mtime.GetAsFileTime(ftWrite)) {
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, lpszFileName);
    }
    if (status.m_ctime.GetTime() != 0 && status.m_ctime.GetAsFileTime(ftCreation)) {
        pCreation = &ftCreation;
    }
    if (status.m_atime.GetTime() != 0 && status.m_atime.GetAsFileTime(ftAccess)) {
        pAccess = &ftAccess;
    }
    HANDLE hFile =
        CreateFileW(lpszFileName, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) ThrowLastErrorFor(lpszFileName);
    BOOL bOk = SetFileTime(hFile, pCreation, pAccess, &ftWrite);
    DWORD dwError = GetLastError();
    CloseHandle(hFile);
    if (!bOk) CFileException::ThrowOsError(static_cast<LONG>(dwError), lpszFileName);
}

}  // namespace

void CFile::SetStatus(LPCWSTR lpszFileName, const CFileStatus& status) {
    DWORD dwCurrent = GetFileAttributesW(lpszFileName);
    if (dwCurrent == INVALID_FILE_ATTRIBUTES) ThrowLastErrorFor(lpszFileName);
    bool bChange = status.m_attribute != dwCurrent;
    // A read-only file must lose that attribute before its times can change;
    // a file about to become read-only gets it only after.
    if (bChange && (dwCurrent & FILE_ATTRIBUTE_READONLY)) {
        if (!SetFileAttributesW(lpszFileName, status.m_attribute)) ThrowLastErrorFor(lpszFileName);
    }
    if (status.m_mtime.GetTime() != 0) ApplyTimes(lpszFileName, status);
    if (bChange && !(dwCurrent & FILE_ATTRIBUTE_READONLY)) {
        if (!SetFileAttributesW(lpszFileName, status.m_attribute)) ThrowLastErrorFor(lpszFileName);
    }
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}
