#include "tests/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

#include "simpleui/LoadPngResource.h"

namespace widget_test {

Pixels Pixels::Crop(int x, int y, int w, int h) const {
    Pixels out;
    out.width = w;
    out.height = h;
    out.data.reserve(static_cast<size_t>(w) * h);
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) out.data.push_back(At(col, row));
    return out;
}

CTestHost::~CTestHost() {
    if (m_hWnd) DestroyWindow();
}

bool CTestHost::Create(int x, int y, int width, int height) {
    RECT rect = {x, y, x + width, y + height};
    if (!CreateEx(0, nullptr, L"widget test host", WS_POPUP | WS_VISIBLE, rect, nullptr, 0))
        return false;
    ::SetForegroundWindow(m_hWnd);
    ::UpdateWindow(m_hWnd);
    return true;
}

BOOL CTestHost::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
        case WM_ERASEBKGND: *pResult = TRUE; return TRUE;
        case WM_PAINT: {
            CPaintDC dc(this);
            HBRUSH hBrush = ::CreateSolidBrush(m_color);
            ::FillRect(dc, &dc.m_ps.rcPaint, hBrush);
            ::DeleteObject(hBrush);
            ++m_nPaints;
            if (m_pLog) m_pLog->push_back({"host", dc.m_ps.rcPaint});
            *pResult = 0;
            return TRUE;
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

CMemoryCanvas::CMemoryCanvas(int width, int height, uint32_t fill)
    : m_width(width), m_height(height) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;  // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_pBits = static_cast<uint32_t*>(pBits);
    m_hDC = ::CreateCompatibleDC(nullptr);
    if (m_hBitmap && m_hDC) m_hOld = ::SelectObject(m_hDC, m_hBitmap);
    if (m_pBits)
        for (int i = 0; i < width * height; ++i) m_pBits[i] = fill;
}

CMemoryCanvas::~CMemoryCanvas() {
    if (m_hOld) ::SelectObject(m_hDC, m_hOld);
    if (m_hDC) ::DeleteDC(m_hDC);
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

Pixels CMemoryCanvas::Read() const {
    ::GdiFlush();
    Pixels out;
    out.width = m_width;
    out.height = m_height;
    if (!m_pBits) return out;
    out.data.assign(m_pBits, m_pBits + static_cast<size_t>(m_width) * m_height);
    for (uint32_t& pixel : out.data) pixel &= 0x00FFFFFF;
    return out;
}

Pixels CaptureClient(HWND hWnd) {
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    CMemoryCanvas canvas(rect.right, rect.bottom, 0);
    HDC hWindowDC = ::GetDC(hWnd);
    ::BitBlt(canvas.Dc(), 0, 0, rect.right, rect.bottom, hWindowDC, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, hWindowDC);
    return canvas.Read();
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (pred()) return true;
        if (::GetTickCount() - start >= timeoutMs) return pred();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

// Absolute coordinates are 0..65535 across the screen and the system rounds
// down, so round up to land on the pixel asked for.
LONG Normalised(int pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

}  // namespace

bool MouseTo(int x, int y) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(x, cx), Normalised(y, cy));
    POINT cursor = {};
    return PumpUntil(
        [&] {
            ::GetCursorPos(&cursor);
            return cursor.x == x && cursor.y == y;
        },
        500);
}

void MouseButton(bool bDown) { SendMouse(bDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP); }

POINT ClientToScreenPoint(HWND hWnd, int x, int y) {
    POINT point = {x, y};
    ::ClientToScreen(hWnd, &point);
    return point;
}

void LoadPicture(int resourceId, CImage& image) {
    ASSERT_TRUE(LoadPngResource(resourceId, image)) << "picture " << resourceId;
}

uint32_t ImagePixel(const CImage& image, int x, int y) {
    const auto* pRow =
        static_cast<const BYTE*>(image.GetBits()) + static_cast<ptrdiff_t>(y) * image.GetPitch();
    const BYTE* p = pRow + static_cast<ptrdiff_t>(x) * 4;
    return (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[1]) << 8) | p[0];
}

}  // namespace widget_test
