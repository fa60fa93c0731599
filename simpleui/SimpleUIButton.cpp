#include "simpleui/SimpleUIButton.h"

SimpleUIButton::SimpleUIButton(const std::string& name) : SimpleUIText(name) {}

SimpleUIButton::~SimpleUIButton() { m_onClick.clear(); }

void SimpleUIButton::CreateWnd(CWnd* pParent) {
    SimpleUIText::CreateWnd(pParent);
    EnableWindow(TRUE);
}

void SimpleUIButton::OnMouseEnter() {
    if (m_state == Disabled) return;
    m_state = Hover;
    Redraw();
}

void SimpleUIButton::OnMouseLeave() {
    if (m_state == Disabled) return;
    m_state = Normal;
    Redraw();
    SimpleUIWidget::OnMouseLeave();
}

void SimpleUIButton::OnLButtonDown(UINT, POINT) {
    if (m_state == Disabled) return;
    ::SetCapture(m_hWnd);
    m_state = Pressed;
    Redraw();
    Default();
}

void SimpleUIButton::OnLButtonUp(UINT, POINT point) {
    if (m_state == Disabled) return;
    ::ReleaseCapture();
    RECT rect;
    GetClientRect(&rect);
    if (::PtInRect(&rect, point)) {
        m_state = Hover;
        Redraw();
        if (!m_onClick.empty()) m_onClick(this, m_name);
    }
    Default();
}

void SimpleUIButton::Draw(CDC& dc) { DrawString(dc); }

void SimpleUIButton::SetStateTexture(int, int) {}

void SimpleUIButton::SetClickHandler(const ClickHandler& handler) { m_onClick = handler; }

void SimpleUIButton::Disable() {
    m_state = Disabled;
    EnableWindow(FALSE);
    Redraw();
}
