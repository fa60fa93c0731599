// SimpleUIProgressBar: a fill picture squeezed to the bar's value. Its window
// is disabled, so the mouse over it reaches the widget beneath.
#pragma once

#include <memory>

#include "framework/Image.h"
#include "simpleui/SimpleUIWidget.h"

// Width in pixels of the fill for value / (maximum - minimum) of a bar
// nWidth wide, truncated toward zero. 0 when the product is not finite, not
// positive or does not fit an int (0/0, 1/0, negative values).
int ProgressFillWidth(float value, float minimum, float maximum, int nWidth);

class SimpleUIProgressBar : public SimpleUIWidget {
public:
    explicit SimpleUIProgressBar(const std::string& name);
    ~SimpleUIProgressBar() override;

    void CreateWnd(CWnd* pParent) override;
    void Draw(CDC& dc) override;

    // Replaces the fill picture and redraws; no resize.
    void SetFillTexture(int resourceId);
    // Not clamped: above the maximum the fill is cut at the bar's edge.
    void SetValue(float value);

    std::unique_ptr<CImage> m_pTexture;
    float m_min = 0.0f;
    float m_max = 1.0f;
    float m_value = 0.0f;
};
