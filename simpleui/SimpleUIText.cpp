#include "simpleui/SimpleUIText.h"

SimpleUIText::SimpleUIText(const std::string& name) : SimpleUIWidget(name) {}

SimpleUIText::~SimpleUIText() = default;

void SimpleUIText::CreateWnd(CWnd* pParent) {
    SimpleUIWidget::CreateWnd(pParent);
    EnableWindow(FALSE);  // a disabled child passes the mouse to the root
}

void SimpleUIText::Draw(CDC& dc) { DrawString(dc); }

// DT_VCENTER without DT_SINGLELINE centres nothing: the text starts at the
// top-left corner, breaks only at line breaks and is clipped to the widget.
void SimpleUIText::DrawString(CDC& dc) {
    if (m_text.empty()) return;
    dc.SetTextColor(m_color);
    dc.SetBkMode(TRANSPARENT);
    // Without a font object the DC's current font is used.
    CSelectedObject font(dc, m_font.m_hObject);
    RECT rect = {0, 0, m_width, m_height};
    dc.DrawText(m_text, &rect, m_format);
}

void SimpleUIText::SetText(const std::wstring& text) {
    m_text = text;
    Redraw();
}

void SimpleUIText::SetColor(COLORREF color) {
    m_color = color;
    Redraw();
}

void SimpleUIText::SetPointFont(int nPointSize, const std::wstring& faceName) {
    m_font.DeleteObject();
    m_font.CreatePointFont(nPointSize, faceName.c_str());
}
