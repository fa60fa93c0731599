// OleHostWindow: the record of one OLE object host window. It is the hosted
// object's client site and in-place site, and its own in-place frame (the
// host window is both), with one reference count for all three.
//
// The window holds one reference from its first message to WM_NCDESTROY (see
// OleHostWindowClass.h); the object may hold more through its site pointers,
// so the record goes when both have let go.
#pragma once

#include <ole2.h>

#include "framework/Afx.h"
#include "framework/ComPtr.h"

class OleHostWindow final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    // Starts with one reference, the creator's.
    OleHostWindow() = default;
    OleHostWindow(const OleHostWindow&) = delete;
    OleHostWindow& operator=(const OleHostWindow&) = delete;

    HWND GetWindowHandle() const { return m_hWnd; }
    void SetWindowHandle(HWND hWnd) { m_hWnd = hWnd; }
    IUnknown* GetUnknown() const { return m_pUnknown.Get(); }
    IOleObject* GetOleObject() const { return m_pOleObject.Get(); }
    IOleInPlaceObject* GetInPlaceObject() const { return m_pInPlaceObject.Get(); }

    // WM_CREATE: creates the object of *cs.lpCreateParams (a CLSID), makes
    // this record its site and shows it over {0, 0, cx, cy}. FALSE, with
    // nothing held, unless the object has IOleObject and IOleInPlaceObject.
    bool CreateObject(const CREATESTRUCTW& cs);
    // WM_SIZE: the object covers the client area.
    void OnSize(int cx, int cy);
    // WM_DESTROY: closes the object without saving and lets it go.
    void OnDestroy();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker,
                                         IMoniker** ppmk) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IOleWindow, for the site and the frame alike: the host window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL fEnterMode) override;

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** ppFrame,
                                               IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                               LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE scrollExtant) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL fUndoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT lprcPosRect) override;

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT lprectBorder) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* pActiveObject,
                                              LPCOLESTR pszObjName) override;

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU hmenuShared,
                                          LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU hmenuShared, HOLEMENU holemenu,
                                      HWND hwndActiveObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU hmenuShared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR pszStatusText) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg, WORD wID) override;

private:
    // Only Release deletes.
    ~OleHostWindow() = default;

    void ActivateObject(int cx, int cy);
    void ReleaseObject();

    LONG m_cRef = 1;
    HWND m_hWnd = nullptr;
    CComPtr<IUnknown> m_pUnknown;
    CComPtr<IOleObject> m_pOleObject;
    CComPtr<IOleInPlaceObject> m_pInPlaceObject;
};
