#include "framework/Image.h"

#include <algorithm>
#include <cstring>
#include <mutex>

// MinGW's GDI+ headers use min and max unqualified.
using std::max;
using std::min;
#include <gdiplus.h>

// One GDI+ start-up shared by every image that decoded something; the last
// holder to go shuts GDI+ down again.
class CGdiplusSession {
public:
    CGdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    ~CGdiplusSession() {
        if (m_bStarted) Gdiplus::GdiplusShutdown(m_token);
    }

    bool IsStarted() const { return m_bStarted; }

    static std::shared_ptr<CGdiplusSession> Acquire() {
        static std::mutex s_mutex;
        static std::weak_ptr<CGdiplusSession> s_current;
        std::lock_guard<std::mutex> lock(s_mutex);
        std::shared_ptr<CGdiplusSession> session = s_current.lock();
        if (!session) {
            session = std::make_shared<CGdiplusSession>();
            s_current = session;
        }
        return session;
    }

private:
    ULONG_PTR m_token = 0;
    bool m_bStarted = false;
};

namespace {

// Owns a GDI+ bitmap from the flat API.
class CGpBitmap {
public:
    CGpBitmap() = default;
    CGpBitmap(const CGpBitmap&) = delete;
    CGpBitmap& operator=(const CGpBitmap&) = delete;
    ~CGpBitmap() {
        if (m_pBitmap) Gdiplus::DllExports::GdipDisposeImage(m_pBitmap);
    }

    Gdiplus::GpBitmap** Receive() { return &m_pBitmap; }
    Gdiplus::GpBitmap* Get() const { return m_pBitmap; }

private:
    Gdiplus::GpBitmap* m_pBitmap = nullptr;
};

// Pixels of a GDI+ bitmap locked for reading in one format; unlocked on exit.
class CGpBitsLock {
public:
    CGpBitsLock(Gdiplus::GpBitmap* pBitmap, int width, int height, Gdiplus::PixelFormat format)
        : m_pBitmap(pBitmap) {
        Gdiplus::GpRect rect(0, 0, width, height);
        m_bLocked =
            Gdiplus::DllExports::GdipBitmapLockBits(m_pBitmap, &rect, Gdiplus::ImageLockModeRead,
                                                    format, &m_data) == Gdiplus::Ok;
    }
    CGpBitsLock(const CGpBitsLock&) = delete;
    CGpBitsLock& operator=(const CGpBitsLock&) = delete;
    ~CGpBitsLock() {
        if (m_bLocked) Gdiplus::DllExports::GdipBitmapUnlockBits(m_pBitmap, &m_data);
    }

    bool IsLocked() const { return m_bLocked; }
    const Gdiplus::BitmapData& Data() const { return m_data; }

private:
    Gdiplus::GpBitmap* m_pBitmap;
    Gdiplus::BitmapData m_data = {};
    bool m_bLocked = false;
};

// A memory DC with an image's bitmap selected, for the duration of a draw.
class CImageSourceDC {
public:
    explicit CImageSourceDC(HBITMAP hBitmap) : m_hDC(::CreateCompatibleDC(nullptr)) {
        if (m_hDC) m_hOld = ::SelectObject(m_hDC, hBitmap);
    }
    CImageSourceDC(const CImageSourceDC&) = delete;
    CImageSourceDC& operator=(const CImageSourceDC&) = delete;
    ~CImageSourceDC() {
        if (!m_hDC) return;
        if (m_hOld) ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
    }

    bool IsReady() const { return m_hDC && m_hOld; }
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld = nullptr;
};

}  // namespace

CImage::CImage() = default;

CImage::~CImage() { Destroy(); }

BOOL CImage::Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags) {
    Destroy();
    if (nWidth <= 0 || nHeight <= 0) return FALSE;
    if ((dwFlags & createAlphaChannel) && nBPP != 32) return FALSE;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = nHeight;  // bottom-up, as GDI prefers
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<WORD>(nBPP);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap) return FALSE;

    m_hBitmap = hBitmap;
    m_pBits = pBits;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nBPP = nBPP;
    // DIB rows are padded to 4 bytes; negative because row 0 is stored last.
    m_nPitch = -(((nWidth * nBPP + 31) / 32) * 4);
    m_bHasAlphaChannel = (dwFlags & createAlphaChannel) != 0;
    return TRUE;
}

void CImage::Destroy() {
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_nWidth = m_nHeight = m_nBPP = m_nPitch = 0;
    m_bHasAlphaChannel = false;
}

void* CImage::GetBits() {
    if (!m_pBits) return nullptr;
    return static_cast<BYTE*>(m_pBits) + static_cast<ptrdiff_t>(-m_nPitch) * (m_nHeight - 1);
}

const void* CImage::GetBits() const { return const_cast<CImage*>(this)->GetBits(); }

// The rows are copied from the decoder as they are: 32bppARGB is unmultiplied
// BGRA in memory, exactly the PNG's stored values.
HRESULT CImage::Load(IStream* pStream) {
    Destroy();
    if (!pStream) return E_POINTER;
    if (!m_gdiplus) m_gdiplus = CGdiplusSession::Acquire();
    if (!m_gdiplus->IsStarted()) return E_FAIL;

    CGpBitmap bitmap;
    if (Gdiplus::DllExports::GdipCreateBitmapFromStream(pStream, bitmap.Receive()) != Gdiplus::Ok ||
        !bitmap.Get())
        return E_FAIL;

    UINT width = 0, height = 0;
    Gdiplus::PixelFormat sourceFormat = 0;
    auto* pImage = reinterpret_cast<Gdiplus::GpImage*>(bitmap.Get());
    if (Gdiplus::DllExports::GdipGetImageWidth(pImage, &width) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImageHeight(pImage, &height) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImagePixelFormat(pImage, &sourceFormat) != Gdiplus::Ok)
        return E_FAIL;
    if (width == 0 || height == 0 || width > 0x7fff || height > 0x7fff) return E_FAIL;

    const bool bAlpha = (sourceFormat & PixelFormatAlpha) != 0;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    CGpBitsLock lock(bitmap.Get(), w, h, bAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB);
    if (!lock.IsLocked()) return E_FAIL;
    if (!Create(w, h, 32, bAlpha ? createAlphaChannel : 0)) return E_OUTOFMEMORY;

    const Gdiplus::BitmapData& data = lock.Data();
    const auto* pSource = static_cast<const BYTE*>(data.Scan0);
    auto* pTarget = static_cast<BYTE*>(GetBits());
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y)
        std::memcpy(pTarget + static_cast<ptrdiff_t>(y) * m_nPitch,
                    pSource + static_cast<ptrdiff_t>(y) * data.Stride, rowBytes);
    return S_OK;
}

BOOL CImage::BitBlt(HDC hDestDC, int xDest, int yDest, DWORD dwROP) const {
    return BitBlt(hDestDC, xDest, yDest, m_nWidth, m_nHeight, 0, 0, dwROP);
}

BOOL CImage::BitBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc,
                    int ySrc, DWORD dwROP) const {
    if (IsNull()) return FALSE;
    CImageSourceDC source(m_hBitmap);
    if (!source.IsReady()) return FALSE;
    return ::BitBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, source, xSrc, ySrc, dwROP);
}

BOOL CImage::AlphaBlend(HDC hDestDC, int xDest, int yDest, BYTE bSrcAlpha, BYTE bBlendOp) const {
    return AlphaBlend(hDestDC, xDest, yDest, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight,
                      bSrcAlpha, bBlendOp);
}

BOOL CImage::AlphaBlend(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight,
                        int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, BYTE bSrcAlpha,
                        BYTE bBlendOp) const {
    // An empty destination is "nothing to paint", not an error for GDI to judge.
    if (IsNull() || nDestWidth <= 0 || nDestHeight <= 0) return FALSE;
    CImageSourceDC source(m_hBitmap);
    if (!source.IsReady()) return FALSE;
    BLENDFUNCTION blend = {bBlendOp, 0, bSrcAlpha,
                           static_cast<BYTE>(m_bHasAlphaChannel ? AC_SRC_ALPHA : 0)};
    return ::AlphaBlend(hDestDC, xDest, yDest, nDestWidth, nDestHeight, source, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, blend);
}
