// Names and directories of the files a download writes.
#pragma once

#include <string>

// The directory part of the path's full form (without the separator); the
// whole full form when it has no separator past its first character; empty
// when the full form does not fit in MAX_PATH.
std::wstring DirectoryOfPath(const std::wstring& path);

// Creates the directory and every missing parent. True when it exists
// afterwards, or when there is nothing to create (no separator, or the
// root of a network path).
bool CreateDirectoryPath(const std::wstring& directory);

// The temporary file a download writes into: the target's name + ".xdf".
std::wstring TempPathOf(const std::wstring& targetPath);
// The companion removed at completion: the temporary file's full path + ".tsf".
std::wstring CompanionPathOf(const std::wstring& tempFullPath);
