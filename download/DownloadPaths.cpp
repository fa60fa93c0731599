#include "download/DownloadPaths.h"

#include "framework/Afx.h"

#include <shlwapi.h>

namespace {

bool EndsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

}  // namespace

std::wstring DirectoryOfPath(const std::wstring& path) {
    WCHAR szFull[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, szFull, nullptr);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    std::wstring full(szFull, n);
    size_t separator = full.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) return full;
    return full.substr(0, separator);
}

bool CreateDirectoryPath(const std::wstring& directory) {
    if (PathFileExistsW(directory.c_str())) return true;
    size_t separator = directory.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return true;
    std::wstring parent = directory.substr(0, separator);
    if (!CreateDirectoryPath(parent)) return false;
    // "\\server\" and the like: a root we cannot and need not create.
    if (EndsWithSeparator(parent)) return true;
    if (PathFileExistsW(directory.c_str())) return true;
    return CreateDirectoryW(directory.c_str(), nullptr) != FALSE;
}

std::wstring TempPathOf(const std::wstring& targetPath) { return targetPath + L".xdf"; }

std::wstring CompanionPathOf(const std::wstring& tempFullPath) { return tempFullPath + L".tsf"; }
