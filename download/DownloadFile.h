// The file side of an HTTP download: the temporary file beside the target,
// which outlives failed attempts and lets the next one resume from its
// length, and the move to the target's name once the body is complete.
// Failures throw CFileException*.
#pragma once

#include <memory>
#include <string>

#include "framework/File.h"

// Opens the temporary file of targetPath for exclusive writing, creating
// missing directories and clearing a leftover's read-only, hidden and
// system attributes first. With bResume a leftover keeps its content, the
// position is its end and nResumeOffset its length; otherwise it is cut to
// 0 and nResumeOffset is 0.
std::unique_ptr<CFile> OpenTempFile(const std::wstring& targetPath, bool bResume,
                                    DWORD& nResumeOffset);

// Once the status (below 300) is known: a 206 continues after what the file
// holds; anything else is the whole file again, written from an emptied
// file, so nResumeOffset becomes 0.
void PositionTempFile(CFile& file, DWORD dwStatus, DWORD& nResumeOffset);

// Closes and deletes the temporary file (after a 416: its length is no
// range the server has). Deletion failures are ignored.
void DiscardTempFile(std::unique_ptr<CFile>& pFile);

struct FinishedTransfer {
    DWORD nResumeOffset = 0;
    DWORD nReceived = 0;
    DWORD nTotal = 0;
};

// Closes the complete temporary file and moves it to targetPath, replacing
// an older target only now. A non-zero fileTime (seconds since 1970)
// becomes the target's last-write time. With bResume a companion ".tsf"
// file is removed.
void PutFileInPlace(CFile& file, const std::wstring& targetPath, __time64_t fileTime, bool bResume,
                    const FinishedTransfer& transfer);
