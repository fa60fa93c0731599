#include "download/DownloadFile.h"

#include <cstdio>

#include "download/DownloadPaths.h"
#include "framework/StrConv.h"

#include <shlwapi.h>

namespace {

constexpr UINT kResumeFlags =
    CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate | CFile::typeBinary;
constexpr UINT kFreshFlags = CFile::modeWrite | CFile::modeCreate | CFile::typeBinary;

void LogFinished(const std::wstring& tempPath, const FinishedTransfer& transfer) {
    char szLine[1024];
    snprintf(szLine, sizeof(szLine), "download finished -- %s,%d,%d,%d",
             WideToAnsi(tempPath).c_str(), static_cast<int>(transfer.nResumeOffset),
             static_cast<int>(transfer.nReceived), static_cast<int>(transfer.nTotal));
    OutputDebugStringA(szLine);
}

// An older target goes only now, so that a failed download never costs it.
void RemoveOldTarget(const std::wstring& targetPath) {
    if (!PathFileExistsW(targetPath.c_str())) return;
    SetFileAttributesW(targetPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(targetPath.c_str());  // if this fails, the rename reports it
}

}  // namespace

std::unique_ptr<CFile> OpenTempFile(const std::wstring& targetPath, bool bResume,
                                    DWORD& nResumeOffset) {
    std::wstring tempPath = TempPathOf(targetPath);
    std::wstring directory = DirectoryOfPath(tempPath);
    // A failure shows when the file is opened.
    if (!PathFileExistsW(directory.c_str())) CreateDirectoryPath(directory);
    if (PathFileExistsW(tempPath.c_str())) {
        SetFileAttributesW(tempPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    nResumeOffset = 0;
    auto pFile = std::make_unique<CFile>(tempPath.c_str(), bResume ? kResumeFlags : kFreshFlags);
    if (bResume) nResumeOffset = static_cast<DWORD>(pFile->SeekToEnd());
    return pFile;
}

void PositionTempFile(CFile& file, DWORD dwStatus, DWORD& nResumeOffset) {
    if (dwStatus == 206) {
        file.SeekToEnd();
        return;
    }
    // Cut at once: a rewrite that fails halfway must not leave new bytes in
    // front of old ones for the next attempt to resume after.
    file.SetLength(0);
    nResumeOffset = 0;
}

void DiscardTempFile(std::unique_ptr<CFile>& pFile) {
    std::wstring path = pFile->GetFilePath();
    pFile.reset();
    DeleteFileW(path.c_str());
}

void PutFileInPlace(CFile& file, const std::wstring& targetPath, __time64_t fileTime, bool bResume,
                    const FinishedTransfer& transfer) {
    std::wstring tempPath = file.GetFilePath();
    LogFinished(tempPath, transfer);
    CFileStatus status;
    file.GetStatus(status);
    file.Close();
    RemoveOldTarget(targetPath);
    CFile::Rename(tempPath.c_str(), targetPath.c_str());
    status.m_mtime = CTime(fileTime);
    CFile::SetStatus(targetPath.c_str(), status);
    std::wstring companion = CompanionPathOf(tempPath);
    if (bResume && PathFileExistsW(companion.c_str())) DeleteFileW(companion.c_str());
}
