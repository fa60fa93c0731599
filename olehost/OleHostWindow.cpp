#include "olehost/OleHostWindow.h"

bool OleHostWindow::CreateObject(const CREATESTRUCTW& cs) {
    const auto* pClsid = static_cast<const CLSID*>(cs.lpCreateParams);
    if (pClsid &&
        SUCCEEDED(CoCreateInstance(*pClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                   IID_IUnknown, m_pUnknown.ReceiveVoid()))) {
        // The pointers, not the results, decide: an object is only usable
        // with both interfaces.
        m_pUnknown.QueryInterface(IID_IOleObject, m_pOleObject);
        m_pUnknown.QueryInterface(IID_IOleInPlaceObject, m_pInPlaceObject);
        if (m_pOleObject) ActivateObject(cs.cx, cs.cy);
    }
    if (m_pUnknown && m_pOleObject && m_pInPlaceObject) return true;
    ReleaseObject();
    return false;
}

void OleHostWindow::ActivateObject(int cx, int cy) {
    m_pOleObject->SetClientSite(static_cast<IOleClientSite*>(this));
    OleSetContainedObject(m_pOleObject.Get(), TRUE);
    RECT rcPos = {0, 0, cx, cy};
    m_pOleObject->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(this), -1, m_hWnd,
                         &rcPos);
}

void OleHostWindow::ReleaseObject() {
    m_pUnknown.Release();
    m_pOleObject.Release();
    m_pInPlaceObject.Release();
}

void OleHostWindow::OnSize(int cx, int cy) {
    if (!m_pInPlaceObject) return;
    RECT rc = {0, 0, cx, cy};
    m_pInPlaceObject->SetObjectRects(&rc, &rc);
}

void OleHostWindow::OnDestroy() {
    if (!m_pUnknown) return;
    m_pUnknown.Release();
    if (m_pOleObject) m_pOleObject->Close(OLECLOSE_NOSAVE);
    // Cleared, not just released: the window may still get messages before
    // it is gone, and they must not reach a dead object.
    m_pOleObject.Release();
    m_pInPlaceObject.Release();
}

HRESULT OleHostWindow::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    IUnknown* pInterface = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
        pInterface = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
        pInterface = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) ||
               IsEqualIID(riid, IID_IOleInPlaceFrame)) {
        pInterface = static_cast<IOleInPlaceFrame*>(this);
    }
    *ppvObject = pInterface;
    if (!pInterface) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG OleHostWindow::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }

ULONG OleHostWindow::Release() {
    const LONG nCount = InterlockedDecrement(&m_cRef);
    if (nCount == 0) delete this;
    return static_cast<ULONG>(nCount);
}

// There is no document to save the object into.
HRESULT OleHostWindow::SaveObject() { return E_NOTIMPL; }

HRESULT OleHostWindow::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (!ppmk) return E_POINTER;
    *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT OleHostWindow::GetContainer(IOleContainer** ppContainer) {
    if (!ppContainer) return E_POINTER;
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

// The object always fills the window: it is already in view.
HRESULT OleHostWindow::ShowObject() { return S_OK; }

HRESULT OleHostWindow::OnShowWindow(BOOL) { return S_OK; }

HRESULT OleHostWindow::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT OleHostWindow::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

HRESULT OleHostWindow::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT OleHostWindow::CanInPlaceActivate() { return S_OK; }

HRESULT OleHostWindow::OnInPlaceActivate() { return S_OK; }

HRESULT OleHostWindow::OnUIActivate() { return S_OK; }

HRESULT OleHostWindow::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                        LPRECT lprcPosRect, LPRECT lprcClipRect,
                                        LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo) return E_POINTER;
    // The host window is the frame, and there is no separate document window.
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    if (!m_hWnd || !::GetClientRect(m_hWnd, lprcPosRect)) SetRectEmpty(lprcPosRect);
    *lprcClipRect = *lprcPosRect;
    // cb is the caller's: it says how much of the structure it has.
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_hWnd;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT OleHostWindow::Scroll(SIZE) { return E_NOTIMPL; }

HRESULT OleHostWindow::OnUIDeactivate(BOOL) { return S_OK; }

HRESULT OleHostWindow::OnInPlaceDeactivate() { return S_OK; }

HRESULT OleHostWindow::DiscardUndoState() { return E_NOTIMPL; }

HRESULT OleHostWindow::DeactivateAndUndo() { return E_NOTIMPL; }

// The window decides the object's size (WM_SIZE); a request of the object's
// own is accepted and changes nothing.
HRESULT OleHostWindow::OnPosRectChange(LPCRECT) { return S_OK; }

// The frame has no toolbars, so no border space to give.
HRESULT OleHostWindow::GetBorder(LPRECT lprectBorder) {
    if (lprectBorder) SetRectEmpty(lprectBorder);
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT OleHostWindow::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }

HRESULT OleHostWindow::SetBorderSpace(LPCBORDERWIDTHS pborderwidths) {
    // Null means the object needs no space, which the frame can always give.
    return pborderwidths ? INPLACE_E_NOTOOLSPACE : S_OK;
}

HRESULT OleHostWindow::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }

// The host window has no menu bar to share.
HRESULT OleHostWindow::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }

HRESULT OleHostWindow::SetMenu(HMENU, HOLEMENU, HWND) { return E_NOTIMPL; }

HRESULT OleHostWindow::RemoveMenus(HMENU) { return E_NOTIMPL; }

HRESULT OleHostWindow::SetStatusText(LPCOLESTR) { return E_NOTIMPL; }

HRESULT OleHostWindow::EnableModeless(BOOL) { return S_OK; }

// The frame has no accelerators of its own.
HRESULT OleHostWindow::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }
