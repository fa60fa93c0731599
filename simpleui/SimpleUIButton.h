// SimpleUIButton: shows one picture per state and calls its click handler
// when pressed and released inside.
#pragma once

#include <boost/function.hpp>

#include "simpleui/SimpleUIText.h"

class CImage;

class SimpleUIButton : public SimpleUIText {
public:
    enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    typedef boost::function<void(void* sender, const std::string& name)> ClickHandler;

    explicit SimpleUIButton(const std::string& name);
    ~SimpleUIButton() override;

    void CreateWnd(CWnd* pParent) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnLButtonUp(UINT nFlags, POINT point) override;
    void Draw(CDC& dc) override;

    void SetStateTexture(int state, int resourceId);
    void SetClickHandler(const ClickHandler& handler);
    void Disable();

    int m_state = Normal;
    CImage* m_pStateTextures[4] = {nullptr, nullptr, nullptr, nullptr};
    ClickHandler m_onClick;
};
