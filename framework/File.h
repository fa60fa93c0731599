// CFile: an owned Win32 file handle with MFC's open flags and exceptions.
// Open flags map to CreateFileW as MFC maps them; giving no share flag
// means exclusive use. Failures throw CFileException*, except where a
// method returns BOOL.
//
// Differs from MFC: the path is a std::wstring; CFileStatus::m_attribute
// keeps all 32 attribute bits; the destructor closes without throwing; no
// CArchive, locking or duplication.
#pragma once

#include <string>

#include "framework/Afx.h"
#include "framework/FileException.h"
#include "framework/Time.h"

struct CFileStatus {
    CTime m_ctime;  // creation
    CTime m_mtime;  // last write
    CTime m_atime;  // last access
    ULONGLONG m_size = 0;
    DWORD m_attribute = 0;
    WCHAR m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens the file or throws CFileException*.
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    // FALSE on failure; the cause goes into *pError when given.
    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual void Close();
    // Closes without reporting failure.
    void Abort();

    // Fewer than nCount bytes only at the end of the file.
    UINT Read(void* lpBuf, UINT nCount);
    void Write(const void* lpBuf, UINT nCount);
    void Flush();
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    ULONGLONG GetLength() const;
    // Cuts or extends the file and leaves the position at the new end.
    void SetLength(ULONGLONG dwNewLen);

    // The full path the file was opened with.
    std::wstring GetFilePath() const { return m_strFileName; }
    BOOL GetStatus(CFileStatus& rStatus) const;

    static void Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);
    // Applies attributes and, when m_mtime is not 0, the times (m_ctime and
    // m_atime only where they are not 0) to the named file.
    static void SetStatus(LPCWSTR lpszFileName, const CFileStatus& status);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

private:
    [[noreturn]] void ThrowLastError() const;

    std::wstring m_strFileName;
};
