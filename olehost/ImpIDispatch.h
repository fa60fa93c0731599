// CImpIDispatch: the external object page scripts reach through
// window.external. It has one read-only property, "xxyyzz" (dispatch
// identifier 12345), whose value is the string "Wibble".
//
// It lives for the whole process: its reference count is kept for COM's sake
// but never frees it. Calls come from the user-interface thread only, so the
// count is a plain counter.
#pragma once

#include <oaidl.h>

#include "framework/Afx.h"

class CImpIDispatch : public IDispatch {
public:
    static constexpr DISPID kDispIdProperty = 12345;

    CImpIDispatch() = default;
    CImpIDispatch(const CImpIDispatch&) = delete;
    CImpIDispatch& operator=(const CImpIDispatch&) = delete;
    ~CImpIDispatch() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    // Every name gets an identifier: 12345 for the property, DISPID_UNKNOWN
    // (and DISP_E_UNKNOWNNAME as the result) for any other.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) override;
    // Fills pVarResult for a property get of 12345; S_OK whatever is asked.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    ULONG m_cRef = 0;
};

// The process-wide external dispatch object, set by start-up.
void SetExternalDispatch(CImpIDispatch* pDispatch);
CImpIDispatch* ExternalDispatch();
