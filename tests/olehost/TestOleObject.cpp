#include "tests/olehost/TestOleObject.h"

#include <gtest/gtest.h>

namespace {

class TestOleObject final : public IOleObject, public IOleInPlaceObject {
public:
    TestOleObject(unsigned interfaces, OleObjectLog* pLog)
        : m_interfaces(interfaces), m_pLog(pLog) {}
    TestOleObject(const TestOleObject&) = delete;
    TestOleObject& operator=(const TestOleObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        IUnknown* pInterface = nullptr;
        if (IsEqualIID(riid, IID_IUnknown)) {
            pInterface = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(riid, IID_IOleObject) && (m_interfaces & kOleObject)) {
            pInterface = static_cast<IOleObject*>(this);
        } else if ((IsEqualIID(riid, IID_IOleInPlaceObject) || IsEqualIID(riid, IID_IOleWindow)) &&
                   (m_interfaces & kInPlaceObject)) {
            pInterface = static_cast<IOleInPlaceObject*>(this);
        }
        *ppvObject = pInterface;
        if (!pInterface) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG nCount = --m_cRef;
        if (nCount == 0) delete this;
        return nCount;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) override {
        ++m_pLog->nSetClientSite;
        m_pLog->pClientSite.CopyFrom(pClientSite);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) override {
        if (!ppClientSite) return E_POINTER;
        *ppClientSite = m_pLog->pClientSite.Get();
        if (*ppClientSite) (*ppClientSite)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override {
        m_pLog->closeOptions.push_back(dwSaveOption);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite,
                                     LONG lindex, HWND hwndParent, LPCRECT lprcPosRect) override {
        OleObjectLog& log = *m_pLog;
        log.bDoVerb = true;
        log.iVerb = iVerb;
        log.bMsgGiven = lpmsg != nullptr;
        log.pActiveSite = pActiveSite;
        log.lindex = lindex;
        log.hwndParent = hwndParent;
        if (lprcPosRect) log.rcDoVerb = *lprcPosRect;
        if (pActiveSite) ActivateInPlace(pActiveSite);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override {
        m_pLog->objectRects.emplace_back(*lprcPosRect, *lprcClipRect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

private:
    ~TestOleObject() { m_pLog->bDestroyed = true; }

    // What an in-place object asks of its site when it is shown.
    void ActivateInPlace(IOleClientSite* pActiveSite) {
        OleObjectLog& log = *m_pLog;
        CComPtr<IOleInPlaceSite> pSite;
        if (FAILED(pActiveSite->QueryInterface(IID_IOleInPlaceSite, pSite.ReceiveVoid()))) return;
        log.hrCanInPlaceActivate = pSite->CanInPlaceActivate();
        pSite->OnInPlaceActivate();
        log.hrGetWindow = pSite->GetWindow(&log.hwndSite);
        CComPtr<IOleInPlaceFrame> pFrame;
        CComPtr<IOleInPlaceUIWindow> pDoc;
        OLEINPLACEFRAMEINFO frameInfo = {sizeof(frameInfo)};
        log.hrWindowContext = pSite->GetWindowContext(pFrame.Receive(), pDoc.Receive(), &log.rcPos,
                                                      &log.rcClip, &frameInfo);
        if (pFrame) pFrame->GetWindow(&log.hwndFrame);
        log.bDocGiven = static_cast<bool>(pDoc);
        pSite->OnUIActivate();
    }

    unsigned m_interfaces;
    OleObjectLog* m_pLog;
    ULONG m_cRef = 0;
};

}  // namespace

HRESULT TestClassFactory::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *ppvObject = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

HRESULT TestClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    m_logs.emplace_back();
    auto* pObject = new TestOleObject(m_interfaces, &m_logs.back());
    pObject->AddRef();
    HRESULT hr = pObject->QueryInterface(riid, ppvObject);
    pObject->Release();
    return hr;
}

ClassRegistration::ClassRegistration(REFCLSID clsid, IClassFactory* pFactory) {
    m_hr = CoRegisterClassObject(clsid, pFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                 &m_dwCookie);
}

// A registration left behind would hand later tests a dead factory.
ClassRegistration::~ClassRegistration() {
    if (SUCCEEDED(m_hr)) {
        EXPECT_EQ(S_OK, CoRevokeClassObject(m_dwCookie));
    }
}
