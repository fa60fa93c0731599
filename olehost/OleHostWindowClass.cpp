#include "olehost/OleHostWindowClass.h"

#include <map>
#include <new>

#include "framework/StaticInit.h"
#include "olehost/OleHostWindow.h"

namespace {

// Registers the class, after initialising OLE, for the program's whole run.
class COleHostWindowClass {
public:
    COleHostWindowClass() {
        // Failures are not reported: nothing at start-up could act on them,
        // and a host window that is never made needs neither.
        OleInitialize(nullptr);
        WNDCLASSW wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = OleHostWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kOleHostWindowClassName;
        RegisterClassW(&wc);
    }
    ~COleHostWindowClass() {
        UnregisterClassW(kOleHostWindowClassName, GetModuleHandleW(nullptr));
        OleUninitialize();
    }
    COleHostWindowClass(const COleHostWindowClass&) = delete;
    COleHostWindowClass& operator=(const COleHostWindowClass&) = delete;
};

COleHostWindowClass s_oleHostWindowClass INIT_ORDER_OLE_HOST;

// The record of the window being created, until the window has had its
// first message.
OleHostWindow* s_pPendingRecord = nullptr;

// Every live host window, each holding one reference to its record.
std::map<HWND, OleHostWindow*>& WindowMap() {
    static std::map<HWND, OleHostWindow*> s_windowMap;
    return s_windowMap;
}

// The window's record. A window not yet in the map takes the pending record
// at its first message; looking in the map first keeps messages that other
// host windows get meanwhile (a parent's WM_PARENTNOTIFY) on their own
// records.
OleHostWindow* LookUpRecord(HWND hWnd) {
    auto& windowMap = WindowMap();
    auto it = windowMap.find(hWnd);
    if (it != windowMap.end()) return it->second;
    if (!s_pPendingRecord || s_pPendingRecord->GetWindowHandle()) return nullptr;
    try {
        windowMap.emplace(hWnd, s_pPendingRecord);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    s_pPendingRecord->AddRef();
    s_pPendingRecord->SetWindowHandle(hWnd);
    return s_pPendingRecord;
}

void ForgetWindow(HWND hWnd) {
    auto& windowMap = WindowMap();
    auto it = windowMap.find(hWnd);
    if (it == windowMap.end()) return;
    OleHostWindow* pRecord = it->second;
    windowMap.erase(it);
    pRecord->Release();
}

LRESULT OnCreate(OleHostWindow* pRecord, HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (!pRecord || !pCreate || !pRecord->CreateObject(*pCreate)) return -1;
    return DefWindowProcW(hWnd, WM_CREATE, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK OleHostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    OleHostWindow* pRecord = LookUpRecord(hWnd);
    switch (message) {
        case WM_CREATE: return OnCreate(pRecord, hWnd, wParam, lParam);
        case WM_SIZE:
            if (pRecord) pRecord->OnSize(LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_DESTROY:
            if (pRecord) pRecord->OnDestroy();
            break;
        case WM_NCDESTROY: {
            LRESULT lResult = DefWindowProcW(hWnd, message, wParam, lParam);
            ForgetWindow(hWnd);
            return lResult;
        }
        default: break;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreateOleHostWindow(REFCLSID clsid, DWORD dwStyle, const RECT& rect, HWND hWndParent,
                         DWORD dwExStyle) {
    CComPtr<OleHostWindow> pRecord(new OleHostWindow);
    CLSID clsidObject = clsid;
    // Kept and put back, so that a host window made while another is being
    // created leaves the outer creation's record in place.
    OleHostWindow* pOuterPending = s_pPendingRecord;
    s_pPendingRecord = pRecord.Get();
    HWND hWnd = CreateWindowExW(dwExStyle, kOleHostWindowClassName, nullptr, dwStyle, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                hWndParent, nullptr, GetModuleHandleW(nullptr), &clsidObject);
    s_pPendingRecord = pOuterPending;
    // The window entered itself and the record into the map at its first
    // message; the creator's reference goes now.
    return hWnd;
}

OleHostWindow* OleHostWindowFromHandle(HWND hWnd) {
    auto& windowMap = WindowMap();
    auto it = windowMap.find(hWnd);
    return it != windowMap.end() ? it->second : nullptr;
}
