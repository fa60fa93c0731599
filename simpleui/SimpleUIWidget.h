// SimpleUIWidget: the base of the skinned widgets. Every widget is a child
// window of its parent widget that paints itself; the base keeps the name
// and geometry, creates, places, shows and hides the window, tracks mouse
// entry and redraws the widget over a freshly painted parent.
#pragma once

#include <list>
#include <string>

#include "framework/Wnd.h"

class CDC;

class SimpleUIWidget : public CWnd {
public:
    explicit SimpleUIWidget(const std::string& name);
    ~SimpleUIWidget() override;

    virtual void CreateWnd(CWnd* pParent);
    virtual void Redraw();
    virtual int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    virtual void OnMouseEnter();
    virtual void OnMouseLeave();
    virtual void OnMouseHover(UINT nFlags, POINT point);
    virtual void OnMouseMove(UINT nFlags, POINT point);
    virtual void OnLButtonDown(UINT nFlags, POINT point);
    virtual void OnLButtonUp(UINT nFlags, POINT point);
    virtual int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    virtual void OnPaint();
    virtual void Draw(CDC& dc);
    virtual BOOL OnEraseBkgnd(CDC* pDC);

    void SetPosition(int x, int y);
    void SetSize(int width, int height);
    void SetVisible(bool visible);

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    std::string m_name;
    int m_x = 0;
    int m_y = 0;
    int m_width = 50;
    int m_height = 50;
    bool m_visible = true;
    std::list<SimpleUIWidget*> m_children;
    bool m_hovering = false;
};
