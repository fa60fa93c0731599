#include "framework/FileException.h"

BOOL CFileException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
    std::wstring text = SystemErrorText(static_cast<DWORD>(m_lOsError));
    if (text.empty()) text = L"File error " + std::to_wstring(m_cause);
    if (!m_strFileName.empty()) text += L" (" + m_strFileName + L")";
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
        case NO_ERROR: return none;
        case ERROR_FILE_NOT_FOUND: return fileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH: return badPath;
        case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return accessDenied;
        case ERROR_INVALID_HANDLE: return invalidFile;
        case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
        case ERROR_CANNOT_MAKE: return directoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK: return badSeek;
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE: return hardIO;
        case ERROR_SHARING_VIOLATION: return sharingViolation;
        case ERROR_LOCK_VIOLATION: return lockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return diskFull;
        case ERROR_HANDLE_EOF: return endOfFile;
        default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, const std::wstring& strFileName) {
    throw new CFileException(OsErrorToException(lOsError), lOsError, strFileName);
}
