// SimpleUIRoot: the background texture covering the whole window; pressing
// on it (or on a widget that passes the mouse through) drags the window.
//
// The window dragged is the root's top-level ancestor (the launcher's main
// dialog), found from the window tree rather than from the launcher's
// record, which lives in a layer above this one.
#pragma once

#include "simpleui/SimpleUITexture.h"

class SimpleUIRoot : public SimpleUITexture {
public:
    explicit SimpleUIRoot(const std::string& name);

    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    BOOL OnEraseBkgnd(CDC* pDC) override;

    // Cursor position in screen coordinates at the last press or drag step.
    POINT m_lastCursor = {0, 0};
};
