#include "olehost/CustomControlSite.h"

#include "olehost/ImpIDispatch.h"

const AFX_INTERFACEMAP_ENTRY CCustomControlSite::interfaceEntries[] = {
    INTERFACE_PART(CCustomControlSite, IID_IDocHostUIHandler, DocHostUIHandler),
};
const AFX_INTERFACEMAP CCustomControlSite::interfaceMap = {&COleControlSite::interfaceMap,
                                                           interfaceEntries};

CCustomControlSite::CCustomControlSite(COleControlContainer* pCtrlCont)
    : COleControlSite(pCtrlCont) {}

CCustomControlSite::~CCustomControlSite() = default;

using XDocHostUIHandler = CCustomControlSite::XDocHostUIHandler;

// S_OK tells the control that the host has shown the menu, so it shows none.
HRESULT XDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return S_OK;
}

HRESULT XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    if (!pInfo) return E_POINTER;
    // The launcher's window is skinned: no sunken frame around the page.
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

// S_OK: the host has dealt with the UI, so the control adds no menus or
// toolbars of its own.
HRESULT XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                  IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return S_OK;
}

HRESULT XDocHostUIHandler::HideUI() {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return S_OK;
}

HRESULT XDocHostUIHandler::UpdateUI() {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return S_OK;
}

HRESULT XDocHostUIHandler::EnableModeless(BOOL) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::OnDocWindowActivate(BOOL) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::OnFrameWindowActivate(BOOL) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

// S_FALSE: not handled here, the control translates the key itself.
HRESULT XDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return S_FALSE;
}

HRESULT XDocHostUIHandler::GetOptionKeyPath(LPOLESTR*, DWORD) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget**) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::GetExternal(IDispatch** ppDispatch) {
    if (!ppDispatch) return E_POINTER;
    // Before start-up has made the external object, scripts get none.
    CImpIDispatch* pExternal = ExternalDispatch();
    *ppDispatch = pExternal;
    if (!pExternal) return E_NOTIMPL;
    pExternal->AddRef();
    return S_OK;
}

HRESULT XDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR*) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}

HRESULT XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject**) {
    AFX_MANAGE_STATE(m_pOuter->m_pModuleState);
    return E_NOTIMPL;
}
