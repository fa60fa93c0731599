#include "simpleui/SimpleUIProgressBar.h"

SimpleUIProgressBar::SimpleUIProgressBar(const std::string& name) : SimpleUIWidget(name) {}

SimpleUIProgressBar::~SimpleUIProgressBar() = default;

void SimpleUIProgressBar::CreateWnd(CWnd* pParent) {
    SimpleUIWidget::CreateWnd(pParent);
    EnableWindow(FALSE);
}

void SimpleUIProgressBar::Draw(CDC&) {}

void SimpleUIProgressBar::SetFillTexture(int) { Redraw(); }

void SimpleUIProgressBar::SetValue(float value) {
    m_value = value;
    Redraw();
}
