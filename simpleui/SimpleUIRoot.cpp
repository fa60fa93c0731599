#include "simpleui/SimpleUIRoot.h"

SimpleUIRoot::SimpleUIRoot(const std::string& name) : SimpleUITexture(name) {}

// Cursor deltas in screen coordinates, so moving the window under the cursor
// does not feed back into the next step. No threshold and no clamping: the
// window follows the cursor pixel for pixel while the root holds the capture.
void SimpleUIRoot::OnMouseMove(UINT nFlags, POINT point) {
    if (m_hWnd && ::GetCapture() == m_hWnd) {
        POINT cursor;
        ::GetCursorPos(&cursor);
        const int dx = cursor.x - m_lastCursor.x;
        const int dy = cursor.y - m_lastCursor.y;
        m_lastCursor = cursor;
        HWND hOwner = ::GetAncestor(m_hWnd, GA_ROOT);
        RECT rect;
        if (hOwner && ::GetWindowRect(hOwner, &rect))
            ::MoveWindow(hOwner, rect.left + dx, rect.top + dy, rect.right - rect.left,
                         rect.bottom - rect.top, TRUE);
    }
    SimpleUITexture::OnMouseMove(nFlags, point);
}

void SimpleUIRoot::OnLButtonDown(UINT, POINT) {
    ::SetCapture(m_hWnd);
    ::GetCursorPos(&m_lastCursor);
    Default();
}

void SimpleUIRoot::OnLButtonUp(UINT, POINT) {
    ::ReleaseCapture();
    Default();
}

// The picture covers the whole root; erasing first would only flicker.
BOOL SimpleUIRoot::OnEraseBkgnd(CDC*) { return TRUE; }
