#include "download/TransferRecord.h"

#include <cstdlib>

namespace {

const char kMagic[] = "launcher-transfer 1";

bool ParseDecimal(const std::string& text, DWORD& value) {
    if (text.empty() || text.size() > 10) return false;
    unsigned long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > 0xFFFFFFFFull) return false;
    value = static_cast<DWORD>(n);
    return true;
}

// A header value must stay on one line of the request it is sent in.
bool IsSafeHeaderValue(const std::string& value) {
    if (value.empty() || value.size() > 512) return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace

std::string ChooseValidator(const std::string& etag, const std::string& lastModified) {
    bool strongEtag = etag.size() >= 2 && etag.front() == '"' && etag.back() == '"';
    if (strongEtag && IsSafeHeaderValue(etag)) return etag;
    if (IsSafeHeaderValue(lastModified)) return lastModified;
    return {};
}

std::string FormatTransferRecord(const TransferRecord& record) {
    return std::string(kMagic) + "\nvalidator " + record.validator + "\nsize " +
           std::to_string(record.totalSize) + "\n";
}

bool ParseTransferRecord(const std::string& text, TransferRecord& record) {
    const std::string head = std::string(kMagic) + "\nvalidator ";
    if (text.compare(0, head.size(), head) != 0) return false;
    size_t end = text.find('\n', head.size());
    if (end == std::string::npos) return false;
    std::string validator = text.substr(head.size(), end - head.size());
    const std::string sizeKey = "size ";
    if (text.compare(end + 1, sizeKey.size(), sizeKey) != 0) return false;
    size_t sizeStart = end + 1 + sizeKey.size();
    size_t sizeEnd = text.find('\n', sizeStart);
    if (sizeEnd == std::string::npos || sizeEnd + 1 != text.size()) return false;
    DWORD size = 0;
    if (!IsSafeHeaderValue(validator) ||
        !ParseDecimal(text.substr(sizeStart, sizeEnd - sizeStart), size))
        return false;
    record.validator = validator;
    record.totalSize = size;
    return true;
}

bool ReadTransferRecord(const std::wstring& path, TransferRecord& record) {
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    char buffer[1024];
    DWORD got = 0;
    BOOL ok = ReadFile(hFile, buffer, sizeof(buffer), &got, nullptr);
    CloseHandle(hFile);
    return ok && got < sizeof(buffer) && ParseTransferRecord(std::string(buffer, got), record);
}

bool WriteTransferRecord(const std::wstring& path, const TransferRecord& record) {
    const std::wstring fresh = path + L".new";
    const std::string text = FormatTransferRecord(record);
    HANDLE hFile = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(hFile);
    CloseHandle(hFile);
    if (ok)
        ok = MoveFileExW(fresh.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(fresh.c_str());
    return ok;
}

bool ParseContentRange(const std::string& value, DWORD& start, DWORD& total) {
    const std::string unit = "bytes ";
    if (value.compare(0, unit.size(), unit) != 0) return false;
    size_t dash = value.find('-', unit.size());
    size_t slash = value.find('/', unit.size());
    if (dash == std::string::npos || slash == std::string::npos || dash > slash) return false;
    DWORD last = 0;
    if (!ParseDecimal(value.substr(unit.size(), dash - unit.size()), start) ||
        !ParseDecimal(value.substr(dash + 1, slash - dash - 1), last) || last < start)
        return false;
    std::string length = value.substr(slash + 1);
    if (length == "*") {
        total = 0;
        return true;
    }
    return ParseDecimal(length, total) && total > last;
}
