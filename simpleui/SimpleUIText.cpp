#include "simpleui/SimpleUIText.h"

SimpleUIText::SimpleUIText(const std::string& name) : SimpleUIWidget(name) {}

SimpleUIText::~SimpleUIText() { delete m_font; }

void SimpleUIText::CreateWnd(CWnd* pParent) {
    SimpleUIWidget::CreateWnd(pParent);
    EnableWindow(FALSE);  // a disabled child passes the mouse to the root
}

void SimpleUIText::Draw(CDC& dc) { DrawString(dc); }

void SimpleUIText::DrawString(CDC& dc) {
    if (m_text.empty()) return;
    dc.SetTextColor(m_color);
    dc.SetBkMode(TRANSPARENT);
    HGDIOBJ hOldFont = dc.SelectObject(m_font ? static_cast<HGDIOBJ>(*m_font) : nullptr);
    RECT rect = {0, 0, m_width, m_height};
    dc.DrawText(m_text, &rect, m_format);
    if (hOldFont) dc.SelectObject(hOldFont);
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
    delete m_font;
    m_font = new CFont;
    m_font->CreatePointFont(nPointSize, faceName.c_str());
}
