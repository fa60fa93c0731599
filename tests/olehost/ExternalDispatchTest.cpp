#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "olehost/ImpIDispatch.h"

namespace {

// The count as it stands, read through AddRef and Release.
ULONG CountOf(IUnknown* p) {
    ULONG nCount = p->AddRef() - 1;
    p->Release();
    return nCount;
}

struct NamesCase {
    const char* pszName;
    std::vector<std::wstring> names;
    std::vector<DISPID> ids;
    HRESULT hr;
};

class ExternalDispatchNamesTest : public testing::TestWithParam<NamesCase> {};

TEST_P(ExternalDispatchNamesTest, ResolvesEveryName) {
    const NamesCase& c = GetParam();
    CImpIDispatch dispatch;
    std::vector<LPOLESTR> names;
    for (const std::wstring& name : c.names) names.push_back(const_cast<LPOLESTR>(name.c_str()));
    std::vector<DISPID> ids(c.names.size(), 777);

    EXPECT_EQ(c.hr, dispatch.GetIDsOfNames(IID_NULL, names.empty() ? nullptr : names.data(),
                                           static_cast<UINT>(names.size()), LOCALE_USER_DEFAULT,
                                           ids.empty() ? nullptr : ids.data()));
    EXPECT_EQ(c.ids, ids);
}

// Only the first code unit and the low byte of the second take part, case
// matters.
INSTANTIATE_TEST_SUITE_P(
    Cases, ExternalDispatchNamesTest,
    testing::Values(
        NamesCase{"PropertyThenUnknown", {L"xxyyzz", L"foo"}, {12345, -1}, DISP_E_UNKNOWNNAME},
        NamesCase{"UnknownThenProperty", {L"foo", L"xxyyzz"}, {-1, 12345}, DISP_E_UNKNOWNNAME},
        NamesCase{"PropertyAlone", {L"xxyyzz"}, {12345}, S_OK}, NamesCase{"NoNames", {}, {}, S_OK},
        NamesCase{"UpperCase", {L"XXYYZZ"}, {-1}, DISP_E_UNKNOWNNAME},
        NamesCase{"SecondLetterUpper", {L"xXyyzz"}, {-1}, DISP_E_UNKNOWNNAME},
        NamesCase{"SamePrefix", {L"xx"}, {12345}, S_OK},
        NamesCase{"SameLowByte", {L"x\u0178"}, {12345}, S_OK},
        NamesCase{"OneLetter", {L"x"}, {-1}, DISP_E_UNKNOWNNAME},
        NamesCase{"Empty", {L""}, {-1}, DISP_E_UNKNOWNNAME}),
    [](const testing::TestParamInfo<NamesCase>& info) { return std::string(info.param.pszName); });

struct InvokeCase {
    const char* pszName;
    DISPID dispId;
    WORD wFlags;
    bool bGetsValue;
};

class ExternalDispatchInvokeTest : public testing::TestWithParam<InvokeCase> {};

TEST_P(ExternalDispatchInvokeTest, ServesOnlyThePropertyGet) {
    const InvokeCase& c = GetParam();
    CImpIDispatch dispatch;
    DISPPARAMS params = {};
    VARIANT result;
    VariantInit(&result);
    result.vt = VT_I4;
    result.lVal = 777;

    EXPECT_EQ(S_OK, dispatch.Invoke(c.dispId, IID_NULL, LOCALE_USER_DEFAULT, c.wFlags, &params,
                                    &result, nullptr, nullptr));
    if (c.bGetsValue) {
        ASSERT_EQ(VT_BSTR, result.vt);
        EXPECT_EQ(6u, SysStringLen(result.bstrVal));
        EXPECT_STREQ(L"Wibble", result.bstrVal);
        VariantClear(&result);
    } else {
        EXPECT_EQ(VT_I4, result.vt);
        EXPECT_EQ(777, result.lVal);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExternalDispatchInvokeTest,
    testing::Values(InvokeCase{"PropertyGet", 12345, DISPATCH_PROPERTYGET, true},
                    InvokeCase{"PropertyGetOrMethod", 12345, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                               true},
                    InvokeCase{"MethodOnly", 12345, DISPATCH_METHOD, false},
                    InvokeCase{"PropertyPut", 12345, DISPATCH_PROPERTYPUT, false},
                    InvokeCase{"OtherIdentifier", 12346, DISPATCH_PROPERTYGET, false},
                    InvokeCase{"UnknownIdentifier", DISPID_UNKNOWN, DISPATCH_PROPERTYGET, false}),
    [](const testing::TestParamInfo<InvokeCase>& info) { return std::string(info.param.pszName); });

TEST(ExternalDispatch, PropertyGetWithoutResultSucceeds) {
    CImpIDispatch dispatch;
    DISPPARAMS params = {};
    EXPECT_EQ(S_OK, dispatch.Invoke(12345, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                    &params, nullptr, nullptr, nullptr));
}

TEST(ExternalDispatch, AnswersIUnknownAndIDispatchOnly) {
    CImpIDispatch dispatch;
    IDispatch* pExpected = &dispatch;
    for (const IID* piid : {&IID_IUnknown, &IID_IDispatch}) {
        void* pv = nullptr;
        EXPECT_EQ(S_OK, dispatch.QueryInterface(*piid, &pv));
        EXPECT_EQ(pExpected, pv);
    }
    EXPECT_EQ(2u, CountOf(&dispatch));

    void* pv = &dispatch;
    EXPECT_EQ(E_NOINTERFACE, dispatch.QueryInterface(IID_IOleObject, &pv));
    EXPECT_EQ(nullptr, pv);
    EXPECT_EQ(2u, CountOf(&dispatch));
}

// The count is COM's only: it starts at 0, and reaching 0 again (or going
// below) never frees the object, which here lives on the stack.
TEST(ExternalDispatch, CountNeverFreesTheObject) {
    CImpIDispatch dispatch;
    EXPECT_EQ(0u, CountOf(&dispatch));
    EXPECT_EQ(1u, dispatch.AddRef());
    EXPECT_EQ(0u, dispatch.Release());
    void* pv = nullptr;
    EXPECT_EQ(S_OK, dispatch.QueryInterface(IID_IDispatch, &pv));
    EXPECT_EQ(0u, dispatch.Release());
}

TEST(ExternalDispatch, HasNoTypeInformation) {
    CImpIDispatch dispatch;
    UINT nCount = 99;
    EXPECT_EQ(E_NOTIMPL, dispatch.GetTypeInfoCount(&nCount));
    EXPECT_EQ(99u, nCount);
    ITypeInfo* pTypeInfo = nullptr;
    EXPECT_EQ(E_NOTIMPL, dispatch.GetTypeInfo(0, LOCALE_USER_DEFAULT, &pTypeInfo));
}

}  // namespace
