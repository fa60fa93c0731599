// SHA-256 with the platform's hashing (BCrypt), fed incrementally.
#pragma once

#include <string>

#include "framework/Afx.h"

#include <bcrypt.h>

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    bool IsValid() const { return m_hHash != nullptr; }
    // Starts over, as for an empty input.
    void Reset();
    void Update(const void* pData, size_t nBytes);
    // Lower-case hex of the digest; the hash starts over afterwards.
    std::string FinishHex();

private:
    void Close();

    BCRYPT_ALG_HANDLE m_hAlg = nullptr;
    BCRYPT_HASH_HANDLE m_hHash = nullptr;
};

// Hashes the first nBytes of an open file from its start, leaving the file
// position where it was; false when the file is shorter or unreadable.
bool HashFilePrefix(HANDLE hFile, unsigned long long nBytes, CSha256& hash);
