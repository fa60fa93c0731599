// Time stamps: a time as 14 digits of local time ("20210304130607"), the
// form in which the FTP worker keeps a remote file's modification time in
// its resume file. Stamps are compared as text.
#pragma once

#include <string>

#include "framework/File.h"
#include "framework/Time.h"

// "%Y%m%d%H%M%S". Made during static initialisation; never changed.
extern const std::wstring TimeStampFormat;
// "19700101000000": time 0 in UTC, the stamp that stands for no stamp.
extern const std::wstring UnsetTimeStamp;

// The local time as a stamp; empty when the time cannot be converted.
std::wstring FormatTimeStamp(const CTime& time);

// Exact, whole-text comparison: no trimming, no parsing.
bool SameTimeStamp(const std::wstring& a, const std::wstring& b);

// The last-write time of an open file object with MFC's GetStatus (CFile,
// CFtpFile); 0 when its status cannot be read.
template <class TFile>
CTime GetModificationTime(const TFile& file) {
    CFileStatus status;  // starts zeroed: a failed query leaves time 0
    file.GetStatus(status);
    return status.m_mtime;
}
