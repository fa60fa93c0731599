#include "framework/Wnd.h"

#include "framework/WinApp.h"

namespace {

struct ThreadWndState {
    CWnd* pWndInit = nullptr;
    HHOOK hHookCbt = nullptr;
    const MSG* pCurrent = nullptr;
};

thread_local ThreadWndState t_state;

const MSG* CurrentMessage() { return t_state.pCurrent; }

}  // namespace

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && t_state.pWndInit) {
        CWnd* pWnd = t_state.pWndInit;
        t_state.pWndInit = nullptr;
        pWnd->AttachCreated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(t_state.hHookCbt, nCode, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
    if (!t_state.hHookCbt)
        t_state.hHookCbt =
            SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
    t_state.pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
    if (t_state.hHookCbt) {
        UnhookWindowsHookEx(t_state.hHookCbt);
        t_state.hHookCbt = nullptr;
    }
    BOOL bHooked = t_state.pWndInit == nullptr;
    t_state.pWndInit = nullptr;
    return bHooked;
}

LPCWSTR AfxDefaultWndClass() {
    static const wchar_t kName[] = L"AfxWnd";
    static const ATOM atom = [] {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.lpszClassName = kName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    return kName;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return DefWindowProcW(hWnd, message, wParam, lParam);

    MSG msg = {hWnd, message, wParam, lParam};
    const MSG* pPrevious = t_state.pCurrent;
    t_state.pCurrent = &msg;
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the window system.
        OutputDebugStringA("exception in window procedure");
    }
    t_state.pCurrent = pPrevious;
    if (message == WM_NCDESTROY) pWnd->DetachDestroyed();
    return lResult;
}

CWnd::~CWnd() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    if (m_hWnd) DetachDestroyed();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    auto* pWnd = reinterpret_cast<CWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    // GWLP_USERDATA is ours only while the window procedure is ours.
    if (!pWnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) != AfxWndProc)
        return nullptr;
    return pWnd;
}

void CWnd::AttachCreated(HWND hWnd) {
    m_hWnd = hWnd;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
}

void CWnd::DetachDestroyed() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    if (hWnd && ::IsWindow(hWnd)) {
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    }
    PostNcDestroy();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    if (!lpszClassName) lpszClassName = AfxDefaultWndClass();
    HWND hParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HMENU hMenu =
        (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    AfxHookWindowCreate(this);
    HWND hWnd = CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, hParent,
                                hMenu, AfxGetInstanceHandle(), lpParam);
    AfxUnhookWindowCreate();
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

CWnd* CWnd::SetCapture() { return FromHandlePermanent(::SetCapture(m_hWnd)); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::EndModalLoop(int nResult) { (void)nResult; }

LRESULT CWnd::Default() {
    const MSG* pMsg = CurrentMessage();
    return pMsg ? DefWindowProc(pMsg->message, pMsg->wParam, pMsg->lParam) : 0;
}

BOOL CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}
