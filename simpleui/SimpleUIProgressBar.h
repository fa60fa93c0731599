// SimpleUIProgressBar: a fill picture squeezed to the bar's value.
#pragma once

#include "simpleui/SimpleUIWidget.h"

class CImage;

class SimpleUIProgressBar : public SimpleUIWidget {
public:
    explicit SimpleUIProgressBar(const std::string& name);
    ~SimpleUIProgressBar() override;

    void CreateWnd(CWnd* pParent) override;
    void Draw(CDC& dc) override;

    void SetFillTexture(int resourceId);
    void SetValue(float value);

    CImage* m_pTexture = nullptr;
    float m_min = 0.0f;
    float m_max = 1.0f;
    float m_value = 0.0f;
};
