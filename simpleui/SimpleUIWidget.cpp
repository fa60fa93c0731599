#include "simpleui/SimpleUIWidget.h"

#include "framework/Gdi.h"

namespace {
// Control identifiers of widget windows, in creation order.
int s_nextControlId = 500;
}  // namespace

SimpleUIWidget::SimpleUIWidget(const std::string& name) : m_name(name) {}

SimpleUIWidget::~SimpleUIWidget() {
    for (SimpleUIWidget* pChild : m_children) delete pChild;
    m_children.clear();
}

void SimpleUIWidget::CreateWnd(CWnd* pParent) {
    RECT rect = {0, 0, m_width, m_height};
    CreateEx(WS_EX_TRANSPARENT, nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, pParent,
             static_cast<UINT>(s_nextControlId++));
}

// Paints the parent's picture under the widget first, so that a widget drawn
// with transparency is composed over the background, never over itself.
void SimpleUIWidget::Redraw() {
    if (!m_hWnd) return;  // RedrawWindow(NULL) would repaint the desktop
    // GetParent would name an owner or the desktop; only a real parent
    // window has a picture under the widget.
    HWND hParent = ::GetAncestor(m_hWnd, GA_PARENT);
    if (hParent && hParent != ::GetDesktopWindow()) {
        POINT origin = {0, 0};
        ::ClientToScreen(m_hWnd, &origin);
        ::ScreenToClient(hParent, &origin);
        RECT rect = {origin.x, origin.y, origin.x + m_width, origin.y + m_height};
        ::RedrawWindow(hParent, &rect, nullptr,
                       RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW);
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int SimpleUIWidget::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void SimpleUIWidget::OnMouseEnter() {}

void SimpleUIWidget::OnMouseLeave() {
    m_hovering = false;
    Default();
}

void SimpleUIWidget::OnMouseHover(UINT, POINT) { Default(); }

void SimpleUIWidget::OnMouseMove(UINT, POINT) {
    if (!m_hovering) {
        m_hovering = true;
        OnMouseEnter();
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    Default();
}

void SimpleUIWidget::OnLButtonDown(UINT, POINT) { Default(); }
void SimpleUIWidget::OnLButtonUp(UINT, POINT) { Default(); }
int SimpleUIWidget::OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }

void SimpleUIWidget::OnPaint() {
    CPaintDC dc(this);
    Draw(dc);
}

void SimpleUIWidget::Draw(CDC&) {}
BOOL SimpleUIWidget::OnEraseBkgnd(CDC*) { return FALSE; }

void SimpleUIWidget::SetPosition(int x, int y) {
    m_x = x;
    m_y = y;
    MoveWindow(m_x, m_y, m_width, m_height, TRUE);
}

void SimpleUIWidget::SetSize(int width, int height) {
    m_width = width;
    m_height = height;
    MoveWindow(m_x, m_y, m_width, m_height, TRUE);
}

void SimpleUIWidget::SetVisible(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    ShowWindow(visible ? SW_SHOW : SW_HIDE);
}

BOOL SimpleUIWidget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    UINT nFlags = static_cast<UINT>(wParam);
    switch (message) {
        case WM_PAINT: OnPaint(); break;
        case WM_ERASEBKGND: {
            CDC dc(reinterpret_cast<HDC>(wParam));
            *pResult = OnEraseBkgnd(&dc);
            return TRUE;
        }
        case WM_CREATE: *pResult = OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam)); return TRUE;
        case WM_LBUTTONDOWN: OnLButtonDown(nFlags, point); break;
        case WM_LBUTTONUP: OnLButtonUp(nFlags, point); break;
        case WM_MOUSEMOVE: OnMouseMove(nFlags, point); break;
        case WM_MOUSEACTIVATE:
            *pResult = OnMouseActivate(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam)),
                                       LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_MOUSEHOVER: OnMouseHover(nFlags, point); break;
        case WM_MOUSELEAVE: OnMouseLeave(); break;
        default: return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
    *pResult = 0;
    return TRUE;
}
