#include "framework/OleControlSite.h"

const AFX_INTERFACEMAP_ENTRY COleControlSite::interfaceEntries[] = {
    INTERFACE_PART(COleControlSite, IID_IOleClientSite, OleClientSite),
};
const AFX_INTERFACEMAP COleControlSite::interfaceMap = {&CCmdTarget::interfaceMap,
                                                        interfaceEntries};

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont) : m_pCtrlCont(pCtrlCont) {}

COleControlSite::~COleControlSite() = default;

// A control is never saved: it has no persistent container document.
HRESULT COleControlSite::XOleClientSite::SaveObject() { return E_NOTIMPL; }

HRESULT COleControlSite::XOleClientSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}

HRESULT COleControlSite::XOleClientSite::GetContainer(IOleContainer** ppContainer) {
    if (!ppContainer) return E_POINTER;
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

// The control already sits in its window; there is nothing to scroll to.
HRESULT COleControlSite::XOleClientSite::ShowObject() { return S_OK; }

HRESULT COleControlSite::XOleClientSite::OnShowWindow(BOOL) { return S_OK; }

HRESULT COleControlSite::XOleClientSite::RequestNewObjectLayout() { return E_NOTIMPL; }
