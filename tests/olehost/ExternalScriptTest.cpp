#include <activscp.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/ComPtr.h"
#include "olehost/ImpIDispatch.h"

namespace {

const CLSID kClsidJScript = {
    0xf414c260, 0x6ac0, 0x11cf, {0xb6, 0xd1, 0x00, 0xaa, 0x00, 0xbb, 0xbb, 0x58}};
// Not in MinGW's uuid library.
#ifdef _WIN64
const IID kIidActiveScriptParse = {
    0xc7ef7658, 0xe1ee, 0x480e, {0x97, 0xea, 0xd5, 0x2c, 0xb4, 0xd7, 0x6d, 0x17}};
#else
const IID kIidActiveScriptParse = {
    0xbb1a2ae2, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
#endif

// A script host that offers one named item, "external", as a page does.
class ExternalScriptSite final : public IActiveScriptSite {
public:
    explicit ExternalScriptSite(IDispatch* pExternal) : m_pExternal(pExternal) {}
    ExternalScriptSite(const ExternalScriptSite&) = delete;
    ExternalScriptSite& operator=(const ExternalScriptSite&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        *ppvObject = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IActiveScriptSite)) {
            return E_NOINTERFACE;
        }
        *ppvObject = static_cast<IActiveScriptSite*>(this);
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask,
                                          IUnknown** ppiunkItem, ITypeInfo** ppti) override {
        if (ppti) *ppti = nullptr;
        if (ppiunkItem) *ppiunkItem = nullptr;
        if (lstrcmpW(pstrName, L"external") != 0) return TYPE_E_ELEMENTNOTFOUND;
        if (!(dwReturnMask & SCRIPTINFO_IUNKNOWN) || !ppiunkItem) return E_INVALIDARG;
        m_pExternal->AddRef();
        *ppiunkItem = m_pExternal;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

private:
    IDispatch* m_pExternal;
};

class ExternalScriptTest : public testing::Test {
protected:
    void SetUp() override {
        // Windows and Wine both ship the engine.
        ASSERT_EQ(S_OK, CoCreateInstance(kClsidJScript, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IActiveScript, m_pScript.ReceiveVoid()));
        ASSERT_EQ(S_OK, m_pScript.QueryInterface(kIidActiveScriptParse, m_pParse));
        ASSERT_EQ(S_OK, m_pScript->SetScriptSite(&m_site));
        ASSERT_EQ(S_OK, m_pParse->InitNew());
        ASSERT_EQ(S_OK, m_pScript->AddNamedItem(L"external", SCRIPTITEM_ISVISIBLE));
        ASSERT_EQ(S_OK, m_pScript->SetScriptState(SCRIPTSTATE_STARTED));
    }
    void TearDown() override {
        if (m_pScript) m_pScript->Close();
    }

    // The value of a script expression as text.
    std::wstring Evaluate(const wchar_t* pszExpression) {
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excepInfo = {};
        HRESULT hr = m_pParse->ParseScriptText(pszExpression, nullptr, nullptr, nullptr, 0, 0,
                                               SCRIPTTEXT_ISEXPRESSION, &result, &excepInfo);
        std::wstring text = L"<failed>";
        if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR))) {
            text.assign(result.bstrVal, SysStringLen(result.bstrVal));
        }
        VariantClear(&result);
        SysFreeString(excepInfo.bstrSource);
        SysFreeString(excepInfo.bstrDescription);
        SysFreeString(excepInfo.bstrHelpFile);
        return text;
    }

    CImpIDispatch m_external;
    ExternalScriptSite m_site{&m_external};
    CComPtr<IActiveScript> m_pScript;
    CComPtr<IActiveScriptParse> m_pParse;
};

// What a page script sees of window.external, through a real script engine.
TEST_F(ExternalScriptTest, ScriptsReadThePropertyAndNothingElse) {
    EXPECT_EQ(L"Wibble", Evaluate(L"external.xxyyzz"));
    EXPECT_EQ(L"string", Evaluate(L"typeof external.xxyyzz"));
    EXPECT_EQ(L"undefined", Evaluate(L"typeof external.foo"));
}

}  // namespace
