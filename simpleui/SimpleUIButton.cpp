#include "simpleui/SimpleUIButton.h"

#include "simpleui/LoadPngResource.h"

SimpleUIButton::SimpleUIButton(const std::string& name) : SimpleUIText(name) {}

SimpleUIButton::~SimpleUIButton() {
    for (auto& pTexture : m_pStateTextures) pTexture.reset();
    m_onClick.clear();
}

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

// Only a press that started on this button can click it: a release over it
// after a press elsewhere (another program's window, say) is not a click.
// The handler runs last, sees the button already in Hover and may even
// delete it.
void SimpleUIButton::OnLButtonUp(UINT, POINT point) {
    if (m_state == Disabled) return;
    const bool bWasPressed = m_state == Pressed;
    ::ReleaseCapture();
    RECT rect;
    GetClientRect(&rect);
    const bool bClicked = bWasPressed && ::PtInRect(&rect, point);
    if (bClicked) {
        m_state = Hover;
        Redraw();
    }
    Default();
    if (!bClicked || m_onClick.empty()) return;
    // Copies, because a handler that deletes the button deletes these too.
    const ClickHandler handler = m_onClick;
    const std::string name = m_name;
    handler(this, name);
}

void SimpleUIButton::Draw(CDC& dc) {
    if (m_state >= Normal && m_state <= Disabled) {
        if (const CImage* pTexture = m_pStateTextures[m_state].get())
            pTexture->AlphaBlend(dc, 0, 0);
    }
    DrawString(dc);
}

void SimpleUIButton::SetStateTexture(int state, int resourceId) {
    if (state < Normal || state > Disabled) return;
    m_pStateTextures[state].reset();
    m_pStateTextures[state] = std::make_unique<CImage>();
    LoadPngResource(resourceId, *m_pStateTextures[state]);
}

void SimpleUIButton::SetClickHandler(const ClickHandler& handler) { m_onClick = handler; }

void SimpleUIButton::Disable() {
    m_state = Disabled;
    EnableWindow(FALSE);
    Redraw();
}
