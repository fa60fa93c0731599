#include "download/Sha256.h"

#include <vector>

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

CSha256::CSha256() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&m_hAlg, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        m_hAlg = nullptr;
    Reset();
}

CSha256::~CSha256() {
    Close();
    if (m_hAlg) BCryptCloseAlgorithmProvider(m_hAlg, 0);
}

void CSha256::Close() {
    if (m_hHash) BCryptDestroyHash(m_hHash);
    m_hHash = nullptr;
}

void CSha256::Reset() {
    Close();
    if (m_hAlg && !Succeeded(BCryptCreateHash(m_hAlg, &m_hHash, nullptr, 0, nullptr, 0, 0)))
        m_hHash = nullptr;
}

void CSha256::Update(const void* pData, size_t nBytes) {
    auto* p = static_cast<const unsigned char*>(pData);
    while (m_hHash && nBytes > 0) {
        ULONG n = static_cast<ULONG>(std::min<size_t>(nBytes, 1u << 30));
        if (!Succeeded(BCryptHashData(m_hHash, const_cast<PUCHAR>(p), n, 0))) Close();
        p += n;
        nBytes -= n;
    }
}

std::string CSha256::FinishHex() {
    unsigned char digest[32];
    bool ok = m_hHash && Succeeded(BCryptFinishHash(m_hHash, digest, sizeof(digest), 0));
    Reset();
    if (!ok) return {};
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : digest) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

bool HashFile(const std::wstring& path, CSha256& hash, unsigned long long& nBytes) {
    nBytes = 0;
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    std::vector<unsigned char> buffer(1 << 16);
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(hFile, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        hash.Update(buffer.data(), got);
        nBytes += got;
    }
    CloseHandle(hFile);
    return ok;
}
