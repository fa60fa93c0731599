// CFileException: a failed file operation, with the MFC cause codes, the
// operating system's error code and the file's name.
#pragma once

#include <string>

#include "framework/Exception.h"

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1,
                            const std::wstring& strFileName = std::wstring())
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(strFileName) {}

    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;

    static int OsErrorToException(LONG lOsError);
    // Throws a new CFileException for the Win32 error code.
    [[noreturn]] static void ThrowOsError(LONG lOsError, const std::wstring& strFileName);

    int m_cause;
    LONG m_lOsError;
    std::wstring m_strFileName;
};
