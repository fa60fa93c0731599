// CImage: a DIB section that pictures are decoded into (through GDI+) and
// drawn from with BitBlt and AlphaBlend. GDI+ starts on the first decode and
// shuts down when the last image that decoded something is destroyed.
//
// Differs from ATL: only streams can be loaded; a decoded picture with an
// alpha channel always becomes 32 bpp with the alpha flag, any other picture
// 32 bpp without it; colour values are kept exactly as the file stores them
// (never multiplied by alpha); there is no cached device context.
#pragma once

#include <objidl.h>

#include <memory>

#include "framework/Afx.h"

class CGdiplusSession;

class CImage {
public:
    // Create flag: the image carries per-pixel alpha (32 bpp only).
    static const DWORD createAlphaChannel = 0x01;

    CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    ~CImage();

    // A bottom-up DIB section of nBPP bits per pixel, zero-filled.
    BOOL Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags = 0);
    // Decodes a picture; S_OK only when the decoder succeeded. Whatever the
    // image held before is released first.
    HRESULT Load(IStream* pStream);
    void Destroy();

    bool IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBPP() const { return m_nBPP; }
    bool HasAlphaChannel() const { return m_bHasAlphaChannel; }
    // Address of pixel (0, 0), the top row; GetPitch is negative for the
    // bottom-up layout, so row y starts at GetBits() + y * GetPitch().
    void* GetBits();
    const void* GetBits() const;
    int GetPitch() const { return m_nPitch; }
    operator HBITMAP() const { return m_hBitmap; }

    // Opaque copies; alpha plays no part.
    BOOL BitBlt(HDC hDestDC, int xDest, int yDest, DWORD dwROP = SRCCOPY) const;
    BOOL BitBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc,
                int ySrc, DWORD dwROP = SRCCOPY) const;
    // Blends with the picture's per-pixel alpha when it has the alpha flag,
    // treating the stored colours as premultiplied. A destination narrower
    // than the source drops whole source columns.
    BOOL AlphaBlend(HDC hDestDC, int xDest, int yDest, BYTE bSrcAlpha = 0xff,
                    BYTE bBlendOp = AC_SRC_OVER) const;
    BOOL AlphaBlend(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc,
                    int ySrc, int nSrcWidth, int nSrcHeight, BYTE bSrcAlpha = 0xff,
                    BYTE bBlendOp = AC_SRC_OVER) const;

private:
    HBITMAP m_hBitmap = nullptr;
    void* m_pBits = nullptr;  // start of the DIB's memory (its bottom row)
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBPP = 0;
    int m_nPitch = 0;
    bool m_bHasAlphaChannel = false;
    // Held from the first decode until the image goes.
    std::shared_ptr<CGdiplusSession> m_gdiplus;
};
