#include "simpleui/LoadPngResource.h"

#include <objbase.h>

#include <cstring>

#include "framework/Image.h"

namespace {

HINSTANCE s_hModule = nullptr;

// A movable global block, freed when it goes.
class CGlobalBlock {
public:
    explicit CGlobalBlock(SIZE_T nBytes) : m_hGlobal(::GlobalAlloc(GMEM_MOVEABLE, nBytes)) {}
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    ~CGlobalBlock() {
        if (m_hGlobal) ::GlobalFree(m_hGlobal);
    }

    HGLOBAL Get() const { return m_hGlobal; }

private:
    HGLOBAL m_hGlobal;
};

// A lock on a global block, unlocked when it goes.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL hGlobal) : m_hGlobal(hGlobal), m_pData(::GlobalLock(hGlobal)) {}
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    ~CGlobalLock() {
        if (m_pData) ::GlobalUnlock(m_hGlobal);
    }

    void* Get() const { return m_pData; }

private:
    HGLOBAL m_hGlobal;
    void* m_pData;
};

// Owns one reference to a stream.
class CStreamPtr {
public:
    CStreamPtr() = default;
    CStreamPtr(const CStreamPtr&) = delete;
    CStreamPtr& operator=(const CStreamPtr&) = delete;
    ~CStreamPtr() {
        if (m_pStream) m_pStream->Release();
    }

    IStream** Receive() { return &m_pStream; }
    IStream* Get() const { return m_pStream; }

private:
    IStream* m_pStream = nullptr;
};

}  // namespace

void SetPngResourceModule(HINSTANCE hModule) { s_hModule = hModule; }
HINSTANCE PngResourceModule() { return s_hModule ? s_hModule : GetModuleHandleW(nullptr); }

// The decoder reads from a private copy in global memory because a stream
// over HGLOBAL is what it accepts; the copy lives only for the decode.
bool LoadPngResource(int resourceId, CImage& image) {
    image.Destroy();
    HINSTANCE hModule = PngResourceModule();
    HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(resourceId), L"PNG");
    if (!hResource) return false;
    DWORD nSize = ::SizeofResource(hModule, hResource);
    if (nSize == 0) return false;
    HGLOBAL hData = ::LoadResource(hModule, hResource);
    const void* pData = hData ? ::LockResource(hData) : nullptr;
    if (!pData) return false;

    CGlobalBlock block(nSize);
    if (!block.Get()) return false;
    CGlobalLock lock(block.Get());
    if (!lock.Get()) return false;
    std::memcpy(lock.Get(), pData, nSize);
    // Declared after the lock so that it is released first; the block must
    // outlive it, as the stream does not own the block.
    CStreamPtr stream;
    if (FAILED(::CreateStreamOnHGlobal(block.Get(), FALSE, stream.Receive())) || !stream.Get())
        return false;
    return image.Load(stream.Get()) == S_OK;
}
