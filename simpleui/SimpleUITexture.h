// SimpleUITexture: one opaque picture, the widget sized to it.
#pragma once

#include <memory>

#include "framework/Image.h"
#include "simpleui/SimpleUIWidget.h"

class SimpleUITexture : public SimpleUIWidget {
public:
    explicit SimpleUITexture(const std::string& name);
    ~SimpleUITexture() override;

    void Draw(CDC& dc) override;
    // Loads the picture and sizes the widget to it: 0 x 0 when it fails.
    void SetTexture(int resourceId);

    std::unique_ptr<CImage> m_pTexture;
};
