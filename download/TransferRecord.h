// What the launcher remembers about a partial download, in the companion
// file beside the temporary file, so that it resumes only the same file: the
// server's validator for the copy it began and that copy's total size.
#pragma once

#include <string>

#include "framework/Afx.h"

struct TransferRecord {
    std::string validator;  // a strong ETag, or a Last-Modified date
    DWORD totalSize = 0;
};

// The validator to keep for a response: its ETag when strong, else its
// Last-Modified; empty when it has neither.
std::string ChooseValidator(const std::string& etag, const std::string& lastModified);

std::string FormatTransferRecord(const TransferRecord& record);
// False for anything but a complete, well-formed record.
bool ParseTransferRecord(const std::string& text, TransferRecord& record);

bool ReadTransferRecord(const std::wstring& path, TransferRecord& record);
// Writes a new file and then moves it over the old one, so that a kill at
// any moment leaves either the old record or the new one.
bool WriteTransferRecord(const std::wstring& path, const TransferRecord& record);

// "bytes 1000-1999/2000": first byte and complete length (0 when "*").
bool ParseContentRange(const std::string& value, DWORD& start, DWORD& total);
