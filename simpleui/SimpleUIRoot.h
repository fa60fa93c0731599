// SimpleUIRoot: the background texture covering the whole window; pressing
// on it (or on a widget that passes the mouse through) drags the window.
#pragma once

#include "simpleui/SimpleUITexture.h"

class SimpleUIRoot : public SimpleUITexture {
public:
    explicit SimpleUIRoot(const std::string& name);

    void OnMouseMove(UINT nFlags, POINT point) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    BOOL OnEraseBkgnd(CDC* pDC) override;

    POINT m_lastCursor = {0, 0};
};
