// Shared by the widget tests: a plain top-level host window that paints one
// colour and logs its paints, pixel read-back from window DCs and memory
// DIBs, real mouse input through SendInput, and bounded message pumping.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Image.h"
#include "framework/Wnd.h"

namespace widget_test {

// One paint as seen by a logging window: who, and the rectangle painted.
struct PaintRecord {
    std::string who;
    RECT rect;
};

// Shared by a host and the logging widgets of one test, in paint order.
using PaintLog = std::vector<PaintRecord>;

// A 32-bit top-down picture; pixels are 0x00RRGGBB (alpha dropped).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;

    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
    Pixels Crop(int x, int y, int w, int h) const;
    bool operator==(const Pixels& other) const = default;
};

constexpr uint32_t Rgb(int r, int g, int b) {
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

// A popup at a fixed screen rectangle, filled with one colour wherever it
// paints (no WS_CLIPCHILDREN, like the launcher's dialog).
class CTestHost : public CWnd {
public:
    CTestHost(COLORREF color, PaintLog* pLog = nullptr) : m_color(color), m_pLog(pLog) {}
    ~CTestHost() override;

    bool Create(int x, int y, int width, int height);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    COLORREF m_color;
    PaintLog* m_pLog;
    int m_nPaints = 0;
};

// A 32-bit DIB section selected into a memory DC, for reference drawings and
// blend checks.
class CMemoryCanvas {
public:
    CMemoryCanvas(int width, int height, uint32_t fill);
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;
    ~CMemoryCanvas();

    HDC Dc() const { return m_hDC; }
    // Raw BGRA words, alpha included.
    uint32_t* Bits() const { return m_pBits; }
    Pixels Read() const;

private:
    int m_width;
    int m_height;
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    uint32_t* m_pBits = nullptr;
};

// Client area of a window as painted, read from its window DC.
Pixels CaptureClient(HWND hWnd);

// Runs the message loop until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 2000);
void PumpFor(DWORD ms);

// Real mouse input. MouseTo places the cursor exactly on a screen point and
// returns false if the system put it elsewhere.
bool MouseTo(int x, int y);
void MouseButton(bool bDown);
// A point in a window's client coordinates, in screen coordinates.
POINT ClientToScreenPoint(HWND hWnd, int x, int y);

// The picture of a resource, decoded (fails the test when it cannot be).
void LoadPicture(int resourceId, CImage& image);
// Decoded pixel (x, y) of a 32-bit image as stored: 0xAARRGGBB.
uint32_t ImagePixel(const CImage& image, int x, int y);

}  // namespace widget_test
