// SimpleUIButton: shows one picture per state, its text on top, and calls its
// click handler when pressed and released inside. A disabled button's window
// is disabled, so presses on it reach the widget beneath.
#pragma once

#include <boost/function.hpp>

#include <memory>

#include "framework/Image.h"
#include "simpleui/SimpleUIText.h"

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

    // Replaces the picture of one state (0 to 3); no resize, no redraw.
    void SetStateTexture(int state, int resourceId);
    void SetClickHandler(const ClickHandler& handler);
    // Final: nothing leaves the Disabled state.
    void Disable();

    int m_state = Normal;
    std::unique_ptr<CImage> m_pStateTextures[4];
    ClickHandler m_onClick;
};
