#include "simpleui/SimpleUIProgressBar.h"

#include <cmath>

#include "framework/Gdi.h"
#include "simpleui/LoadPngResource.h"

// The minimum is taken off the maximum only, never off the value.
int ProgressFillWidth(float value, float minimum, float maximum, int nWidth) {
    const float product = value / (maximum - minimum) * static_cast<float>(nWidth);
    if (!std::isfinite(product) || product <= 0.0f || product >= 2147483648.0f) return 0;
    return static_cast<int>(product);
}

SimpleUIProgressBar::SimpleUIProgressBar(const std::string& name) : SimpleUIWidget(name) {}

SimpleUIProgressBar::~SimpleUIProgressBar() = default;

void SimpleUIProgressBar::CreateWnd(CWnd* pParent) {
    SimpleUIWidget::CreateWnd(pParent);
    EnableWindow(FALSE);  // a disabled child passes the mouse to the root
}

// The widget-sized part of the picture is squeezed into the fill width, so
// the whole fill picture shows however far the bar has got.
void SimpleUIProgressBar::Draw(CDC& dc) {
    if (!m_pTexture) return;
    const int nFill = ProgressFillWidth(m_value, m_min, m_max, m_width);
    if (nFill <= 0) return;
    m_pTexture->AlphaBlend(dc, 0, 0, nFill, m_height, 0, 0, m_width, m_height);
}

void SimpleUIProgressBar::SetFillTexture(int resourceId) {
    m_pTexture.reset();
    m_pTexture = std::make_unique<CImage>();
    LoadPngResource(resourceId, *m_pTexture);
    Redraw();
}

void SimpleUIProgressBar::SetValue(float value) {
    m_value = value;
    Redraw();
}
