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
    // Makes the digest unobtainable until the next Reset.
    void Invalidate() { Close(); }
    // Lower-case hex of the digest (empty once invalidated); the hash
    // starts over afterwards.
    std::string FinishHex();

private:
    void Close();

    BCRYPT_ALG_HANDLE m_hAlg = nullptr;
    BCRYPT_HASH_HANDLE m_hHash = nullptr;
};

// Feeds a whole file to hash; nBytes is how many it read. False when the
// file cannot be read (a missing file reads as empty).
bool HashFile(const std::wstring& path, CSha256& hash, unsigned long long& nBytes);
