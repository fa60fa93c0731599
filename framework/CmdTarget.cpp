#include "framework/CmdTarget.h"

const AFX_INTERFACEMAP CCmdTarget::interfaceMap = {nullptr, {}};

CCmdTarget::CCmdTarget() : m_pModuleState(AfxGetModuleState()) {}

CCmdTarget::~CCmdTarget() = default;

ULONG CCmdTarget::InternalAddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_dwRef)); }

ULONG CCmdTarget::InternalRelease() {
    const LONG nCount = InterlockedDecrement(&m_dwRef);
    if (nCount == 0) OnFinalRelease();
    return static_cast<ULONG>(nCount);
}

HRESULT CCmdTarget::InternalQueryInterface(const void* pIID, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    *ppvObj = nullptr;
    if (!pIID) return E_INVALIDARG;
    IUnknown* pUnknown = GetInterface(*static_cast<const IID*>(pIID));
    if (!pUnknown) return E_NOINTERFACE;
    pUnknown->AddRef();
    *ppvObj = pUnknown;
    return S_OK;
}

IUnknown* CCmdTarget::GetControllingUnknown() { return GetInterface(IID_IUnknown); }

IUnknown* CCmdTarget::GetInterface(REFIID iid) {
    // Any interface serves as IUnknown, but always the same one, so that
    // identity comparisons hold.
    const bool bIdentity = IsEqualIID(iid, IID_IUnknown);
    for (const AFX_INTERFACEMAP* pMap = GetInterfaceMap(); pMap; pMap = pMap->pBaseMap) {
        for (const AFX_INTERFACEMAP_ENTRY& entry : pMap->entries) {
            if (bIdentity || IsEqualIID(iid, *entry.piid)) return entry.pfnGetInterface(this);
        }
    }
    return nullptr;
}
