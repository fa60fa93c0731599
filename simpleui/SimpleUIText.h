// SimpleUIText: a string drawn in a font and colour over the parent's picture.
// Its window is disabled, so the mouse over it reaches the widget beneath.
#pragma once

#include "framework/Gdi.h"
#include "simpleui/SimpleUIWidget.h"

class SimpleUIText : public SimpleUIWidget {
public:
    explicit SimpleUIText(const std::string& name);
    ~SimpleUIText() override;

    void CreateWnd(CWnd* pParent) override;
    void Draw(CDC& dc) override;

    void SetText(const std::wstring& text);
    void SetColor(COLORREF color);
    // nPointSize in tenths of a point; does not redraw.
    void SetPointFont(int nPointSize, const std::wstring& faceName);

    CFont m_font;
    std::wstring m_text;
    COLORREF m_color = RGB(255, 255, 255);
    UINT m_format = DT_VCENTER;

protected:
    void DrawString(CDC& dc);
};
