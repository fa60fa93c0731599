#include "simpleui/SimpleUITexture.h"

#include "framework/Gdi.h"
#include "simpleui/LoadPngResource.h"

SimpleUITexture::SimpleUITexture(const std::string& name) : SimpleUIWidget(name) {}

SimpleUITexture::~SimpleUITexture() = default;

void SimpleUITexture::Draw(CDC& dc) {
    if (m_pTexture) m_pTexture->BitBlt(dc, 0, 0, SRCCOPY);
}

void SimpleUITexture::SetTexture(int resourceId) {
    m_pTexture.reset();  // the old picture goes before the new one is decoded
    m_pTexture = std::make_unique<CImage>();
    LoadPngResource(resourceId, *m_pTexture);
    m_width = m_pTexture->GetWidth();
    m_height = m_pTexture->GetHeight();
    MoveWindow(m_x, m_y, m_width, m_height, TRUE);
    Redraw();
}
