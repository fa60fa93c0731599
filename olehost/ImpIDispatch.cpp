#include "olehost/ImpIDispatch.h"

namespace {
CImpIDispatch* s_pDispatch = nullptr;

const wchar_t kPropertyName[] = L"xxyyzz";
const wchar_t kPropertyValue[] = L"Wibble";

// Names are compared as ANSI text over three bytes of their UTF-16 form: the
// first code unit and the low byte of the second, so other names that begin
// like "xx" resolve too. The head is copied first so that an empty name is
// never read past its end.
bool IsPropertyName(LPCOLESTR pszName, LCID lcid) {
    if (!pszName) return false;
    wchar_t head[2] = {pszName[0], pszName[0] ? pszName[1] : L'\0'};
    return CompareStringA(lcid, NORM_IGNOREWIDTH, reinterpret_cast<LPCSTR>(kPropertyName), 3,
                          reinterpret_cast<LPCSTR>(head), 3) == CSTR_EQUAL;
}
}  // namespace

void SetExternalDispatch(CImpIDispatch* pDispatch) { s_pDispatch = pDispatch; }
CImpIDispatch* ExternalDispatch() { return s_pDispatch; }

HRESULT CImpIDispatch::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
    *ppvObject = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG CImpIDispatch::AddRef() { return ++m_cRef; }

// Never frees the object: it outlives every script that holds it.
ULONG CImpIDispatch::Release() { return --m_cRef; }

HRESULT CImpIDispatch::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                     DISPID* rgDispId) {
    if (cNames > 0 && (!rgszNames || !rgDispId)) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < cNames; ++i) {
        if (IsPropertyName(rgszNames[i], lcid)) {
            rgDispId[i] = kDispIdProperty;
        } else {
            rgDispId[i] = DISPID_UNKNOWN;
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

HRESULT CImpIDispatch::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS*,
                              VARIANT* pVarResult, EXCEPINFO*, UINT*) {
    if (dispIdMember == kDispIdProperty && (wFlags & DISPATCH_PROPERTYGET) && pVarResult) {
        BSTR bstrValue = SysAllocString(kPropertyValue);
        VariantInit(pVarResult);
        pVarResult->vt = VT_BSTR;
        pVarResult->bstrVal = bstrValue;
    }
    return S_OK;
}
