// SimpleUITexture: one opaque picture, the widget sized to it.
#pragma once

#include "simpleui/SimpleUIWidget.h"

class CImage;

class SimpleUITexture : public SimpleUIWidget {
public:
    explicit SimpleUITexture(const std::string& name);
    ~SimpleUITexture() override;

    void Draw(CDC& dc) override;
    void SetTexture(int resourceId);

    CImage* m_pTexture = nullptr;
};
