#include "tests/support/MessageSink.h"

namespace {
const wchar_t kClassName[] = L"LauncherTestMessageSink";
}

MessageSink::MessageSink(UINT first, UINT last) : m_first(first), m_last(last) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    m_hWnd = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
}

MessageSink::~MessageSink() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

size_t MessageSink::Count(UINT message) const {
    size_t n = 0;
    for (const auto& m : m_messages) n += m.message == message;
    return n;
}

LRESULT CALLBACK MessageSink::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* pCreate = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pSink = reinterpret_cast<MessageSink*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pSink && message >= pSink->m_first && message <= pSink->m_last) {
        pSink->m_messages.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void DrainQueue() {
    MSG msg;
    // Bounded: a worker that posts without end must not keep us here.
    for (int i = 0; i < 100000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DrainQueue();
        if (done()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 20),
                                  QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
