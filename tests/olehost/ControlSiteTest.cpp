#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/ComPtr.h"
#include "framework/OccManager.h"
#include "framework/OleControlSite.h"
#include "olehost/CustomControlSite.h"
#include "olehost/CustomOccManager.h"
#include "olehost/ImpIDispatch.h"

namespace {

ULONG CountOf(IUnknown* p) {
    ULONG nCount = p->AddRef() - 1;
    p->Release();
    return nCount;
}

// Gives up the creator's reference to a site, as a container does.
struct SiteRelease {
    void operator()(COleControlSite* pSite) const { pSite->InternalRelease(); }
};
using SitePtr = std::unique_ptr<COleControlSite, SiteRelease>;

template <class I>
CComPtr<I> Query(IUnknown* pUnknown, REFIID riid) {
    CComPtr<I> p;
    pUnknown->QueryInterface(riid, p.ReceiveVoid());
    return p;
}

class ControlSiteTest : public testing::Test {
protected:
    void SetUp() override {
        m_pPreviousExternal = ExternalDispatch();
        SetExternalDispatch(&m_external);
        m_pSite.reset(m_manager.CreateSite(&m_container));
        ASSERT_NE(nullptr, m_pSite);
        m_pHandler =
            Query<IDocHostUIHandler>(m_pSite->GetControllingUnknown(), IID_IDocHostUIHandler);
        ASSERT_TRUE(m_pHandler);
    }
    void TearDown() override { SetExternalDispatch(m_pPreviousExternal); }

    CImpIDispatch m_external;
    CImpIDispatch* m_pPreviousExternal = nullptr;
    CCustomOccManager m_manager;
    COleControlContainer m_container{nullptr};
    SitePtr m_pSite;
    CComPtr<IDocHostUIHandler> m_pHandler;
};

TEST_F(ControlSiteTest, ManagerMakesCustomSitesForItsContainer) {
    auto* pCustom = dynamic_cast<CCustomControlSite*>(m_pSite.get());
    ASSERT_NE(nullptr, pCustom);
    EXPECT_EQ(&m_container, pCustom->m_pCtrlCont);
    EXPECT_EQ(static_cast<IDocHostUIHandler*>(&pCustom->m_xDocHostUIHandler), m_pHandler.Get());
}

// One identity for the site and every nested object, and the base site's
// interfaces still answered through the chained map.
TEST_F(ControlSiteTest, NestedObjectsShareTheSiteIdentity) {
    IUnknown* pIdentity = m_pSite->GetControllingUnknown();
    ASSERT_NE(nullptr, pIdentity);
    EXPECT_EQ(pIdentity, Query<IUnknown>(m_pHandler.Get(), IID_IUnknown).Get());

    CComPtr<IOleClientSite> pClientSite =
        Query<IOleClientSite>(m_pHandler.Get(), IID_IOleClientSite);
    ASSERT_TRUE(pClientSite);
    EXPECT_EQ(static_cast<IOleClientSite*>(&m_pSite->m_xOleClientSite), pClientSite.Get());
    EXPECT_EQ(pIdentity, Query<IUnknown>(pClientSite.Get(), IID_IUnknown).Get());
    EXPECT_EQ(m_pHandler.Get(),
              Query<IDocHostUIHandler>(pClientSite.Get(), IID_IDocHostUIHandler).Get());

    void* pv = pIdentity;
    EXPECT_EQ(E_NOINTERFACE, m_pHandler->QueryInterface(IID_IDispatch, &pv));
    EXPECT_EQ(nullptr, pv);
}

// The site lives while any interface of it is held, whoever let go first.
TEST_F(ControlSiteTest, OneCountForAllInterfaces) {
    CComPtr<IOleClientSite> pClientSite =
        Query<IOleClientSite>(m_pHandler.Get(), IID_IOleClientSite);
    // The creator's reference, ours to the handler, and this one.
    EXPECT_EQ(3u, CountOf(pClientSite.Get()));
    m_pSite.release()->InternalRelease();
    m_pHandler.Release();
    EXPECT_EQ(1u, CountOf(pClientSite.Get()));
    EXPECT_EQ(0u, pClientSite.Detach()->Release());
}

TEST_F(ControlSiteTest, HostInfoAsksForNoBorderOnly) {
    OLECHAR szCss[] = L"css";
    OLECHAR szNs[] = L"ns";
    DOCHOSTUIINFO info = {sizeof(info),
                          DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_SCROLL_NO | 0x80000000u,
                          DOCHOSTUIDBLCLK_SHOWCODE, szCss, szNs};

    EXPECT_EQ(S_OK, m_pHandler->GetHostInfo(&info));
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER), info.dwFlags);
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT), info.dwDoubleClick);
    EXPECT_EQ(sizeof(info), info.cbSize);
    EXPECT_EQ(szCss, info.pchHostCss);
    EXPECT_EQ(szNs, info.pchHostNS);

    EXPECT_EQ(E_POINTER, m_pHandler->GetHostInfo(nullptr));
}

TEST_F(ControlSiteTest, ExternalIsTheOneDispatchObject) {
    ULONG nBefore = CountOf(&m_external);
    IDispatch* pFirst = nullptr;
    IDispatch* pSecond = nullptr;
    EXPECT_EQ(S_OK, m_pHandler->GetExternal(&pFirst));
    EXPECT_EQ(S_OK, m_pHandler->GetExternal(&pSecond));
    EXPECT_EQ(static_cast<IDispatch*>(&m_external), pFirst);
    EXPECT_EQ(pFirst, pSecond);
    EXPECT_EQ(nBefore + 2, CountOf(&m_external));
    pFirst->Release();
    pSecond->Release();
    EXPECT_EQ(nBefore, CountOf(&m_external));
}

TEST_F(ControlSiteTest, NoExternalBeforeStartUpMadeIt) {
    SetExternalDispatch(nullptr);
    IDispatch* pDispatch = &m_external;
    EXPECT_EQ(E_NOTIMPL, m_pHandler->GetExternal(&pDispatch));
    EXPECT_EQ(nullptr, pDispatch);
}

struct HandlerCase {
    const char* pszMethod;
    std::function<HRESULT(IDocHostUIHandler*)> call;
    HRESULT hrExpected;
};

// Every answer of the handler. Out-parameters start as a marker that a method
// which answers nothing must leave alone.
TEST_F(ControlSiteTest, HandlerAnswers) {
    static wchar_t szMarker[] = L"marker";
    auto* pMarkerTarget = reinterpret_cast<IDropTarget*>(szMarker);
    auto* pMarkerData = reinterpret_cast<IDataObject*>(szMarker);
    POINT pt = {1, 2};
    RECT rc = {0, 0, 10, 10};
    MSG msg = {};
    const HandlerCase cases[] = {
        {"ShowContextMenu", [&](auto* p) { return p->ShowContextMenu(0, &pt, nullptr, nullptr); },
         S_OK},
        {"ShowUI", [](auto* p) { return p->ShowUI(0, nullptr, nullptr, nullptr, nullptr); }, S_OK},
        {"HideUI", [](auto* p) { return p->HideUI(); }, S_OK},
        {"UpdateUI", [](auto* p) { return p->UpdateUI(); }, S_OK},
        {"EnableModeless", [](auto* p) { return p->EnableModeless(TRUE); }, E_NOTIMPL},
        {"OnDocWindowActivate", [](auto* p) { return p->OnDocWindowActivate(TRUE); }, E_NOTIMPL},
        {"OnFrameWindowActivate", [](auto* p) { return p->OnFrameWindowActivate(TRUE); },
         E_NOTIMPL},
        {"ResizeBorder", [&](auto* p) { return p->ResizeBorder(&rc, nullptr, TRUE); }, E_NOTIMPL},
        {"TranslateAccelerator", [&](auto* p) { return p->TranslateAccelerator(&msg, nullptr, 0); },
         S_FALSE},
        {"GetOptionKeyPath",
         [&](auto* p) {
             LPOLESTR pKey = szMarker;
             HRESULT hr = p->GetOptionKeyPath(&pKey, 0);
             EXPECT_EQ(szMarker, pKey);
             return hr;
         },
         E_NOTIMPL},
        {"GetDropTarget",
         [&](auto* p) {
             IDropTarget* pTarget = pMarkerTarget;
             HRESULT hr = p->GetDropTarget(nullptr, &pTarget);
             EXPECT_EQ(pMarkerTarget, pTarget);
             return hr;
         },
         E_NOTIMPL},
        {"TranslateUrl",
         [&](auto* p) {
             wchar_t szUrl[] = L"http://127.0.0.1/";
             LPWSTR pOut = szMarker;
             HRESULT hr = p->TranslateUrl(0, szUrl, &pOut);
             EXPECT_EQ(szMarker, pOut);
             return hr;
         },
         E_NOTIMPL},
        {"FilterDataObject",
         [&](auto* p) {
             IDataObject* pOut = pMarkerData;
             HRESULT hr = p->FilterDataObject(nullptr, &pOut);
             EXPECT_EQ(pMarkerData, pOut);
             return hr;
         },
         E_NOTIMPL},
    };
    for (const HandlerCase& c : cases) {
        SCOPED_TRACE(c.pszMethod);
        EXPECT_EQ(c.hrExpected, c.call(m_pHandler.Get()));
    }
}

// Without a manager of its own the framework's plain sites are used: they
// are client sites, but answer no document-host questions.
TEST(OccManager, EnablingContainmentInstallsTheManager) {
    CCustomOccManager manager;
    AfxEnableControlContainer(&manager);
    EXPECT_EQ(&manager, AfxGetOccManager());

    AfxEnableControlContainer();
    COccManager* pDefault = AfxGetOccManager();
    ASSERT_NE(nullptr, pDefault);
    COleControlContainer container(nullptr);
    SitePtr pSite(pDefault->CreateSite(&container));
    ASSERT_NE(nullptr, pSite);
    IUnknown* pIdentity = pSite->GetControllingUnknown();
    EXPECT_TRUE(Query<IOleClientSite>(pIdentity, IID_IOleClientSite));
    EXPECT_FALSE(Query<IDocHostUIHandler>(pIdentity, IID_IDocHostUIHandler));
}

}  // namespace
