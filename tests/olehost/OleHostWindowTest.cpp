#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "olehost/OleHostWindow.h"
#include "olehost/OleHostWindowClass.h"
#include "tests/olehost/TestOleObject.h"

// Found by argument lookup, so RECT (a global type) must have them here.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
static void PrintTo(const RECT& rc, std::ostream* os) {
    *os << "{" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << "}";
}

namespace {

// Registered only inside these tests.
const CLSID kTestClsid = {
    0x5e0c27a1, 0x43b8, 0x4d2e, {0x9a, 0x61, 0x2f, 0x7d, 0x0b, 0x93, 0x41, 0xc6}};
// Registered nowhere.
const CLSID kUnknownClsid = {
    0x0d8e4f12, 0x7a3c, 0x4b95, {0x8e, 0x27, 0x61, 0xf0, 0x3a, 0x5c, 0x9d, 0x14}};

class OwnedWindow {
public:
    explicit OwnedWindow(HWND hWnd) : m_hWnd(hWnd) {}
    ~OwnedWindow() {
        if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// The record behind a site pointer the host gave its object.
OleHostWindow* RecordOf(IOleClientSite* pSite) { return static_cast<OleHostWindow*>(pSite); }

class OleHostWindowTest : public testing::Test {
protected:
    explicit OleHostWindowTest(unsigned interfaces = kBoth)
        : m_factory(interfaces), m_registration(kTestClsid, &m_factory) {}

    void SetUp() override { ASSERT_EQ(S_OK, m_registration.m_hr); }

    // A 320 x 240 borderless window, so that its client area is its size.
    static HWND CreateHost(REFCLSID clsid, HWND hWndParent = nullptr, DWORD dwStyle = WS_POPUP) {
        RECT rect = {10, 20, 330, 260};
        return CreateOleHostWindow(clsid, dwStyle, rect, hWndParent);
    }

    TestClassFactory m_factory;
    ClassRegistration m_registration;
};

TEST_F(OleHostWindowTest, ActivatesTheObjectInPlaceOverTheClientArea) {
    OwnedWindow host(CreateHost(kTestClsid));
    ASSERT_NE(nullptr, host.Get());
    ASSERT_EQ(1u, m_factory.m_logs.size());
    const OleObjectLog& log = m_factory.m_logs[0];

    OleHostWindow* pRecord = OleHostWindowFromHandle(host.Get());
    ASSERT_NE(nullptr, pRecord);
    EXPECT_EQ(host.Get(), pRecord->GetWindowHandle());
    EXPECT_NE(nullptr, pRecord->GetUnknown());
    EXPECT_NE(nullptr, pRecord->GetOleObject());
    EXPECT_NE(nullptr, pRecord->GetInPlaceObject());

    auto* pRecordSite = static_cast<IOleClientSite*>(pRecord);
    EXPECT_EQ(1, log.nSetClientSite);
    EXPECT_EQ(pRecordSite, log.pClientSite.Get());

    EXPECT_TRUE(log.bDoVerb);
    EXPECT_EQ(OLEIVERB_SHOW, log.iVerb);
    EXPECT_FALSE(log.bMsgGiven);
    EXPECT_EQ(pRecordSite, log.pActiveSite);
    EXPECT_EQ(-1, log.lindex);
    EXPECT_EQ(host.Get(), log.hwndParent);
    EXPECT_EQ((RECT{0, 0, 320, 240}), log.rcDoVerb);

    // The site is usable for in-place activation: window, frame and rectangles.
    EXPECT_EQ(S_OK, log.hrCanInPlaceActivate);
    EXPECT_EQ(S_OK, log.hrGetWindow);
    EXPECT_EQ(host.Get(), log.hwndSite);
    EXPECT_EQ(S_OK, log.hrWindowContext);
    EXPECT_EQ((RECT{0, 0, 320, 240}), log.rcPos);
    EXPECT_EQ((RECT{0, 0, 320, 240}), log.rcClip);
    EXPECT_EQ(host.Get(), log.hwndFrame);
    EXPECT_FALSE(log.bDocGiven);
    EXPECT_TRUE(log.closeOptions.empty());
}

TEST_F(OleHostWindowTest, ObjectRectanglesFollowTheClientArea) {
    OwnedWindow host(CreateHost(kTestClsid));
    ASSERT_NE(nullptr, host.Get());
    const OleObjectLog& log = m_factory.m_logs[0];

    ASSERT_TRUE(SetWindowPos(host.Get(), nullptr, 0, 0, 300, 200,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_FALSE(log.objectRects.empty());
    EXPECT_EQ((RECT{0, 0, 300, 200}), log.objectRects.back().first);
    EXPECT_EQ((RECT{0, 0, 300, 200}), log.objectRects.back().second);
}

TEST_F(OleHostWindowTest, DestroyClosesWithoutSavingAndLetsEverythingGo) {
    HWND hWnd = CreateHost(kTestClsid);
    ASSERT_NE(nullptr, hWnd);
    OleObjectLog& log = m_factory.m_logs[0];

    ASSERT_TRUE(DestroyWindow(hWnd));
    EXPECT_EQ(std::vector<DWORD>{OLECLOSE_NOSAVE}, log.closeOptions);
    EXPECT_TRUE(log.bDestroyed);
    EXPECT_EQ(nullptr, OleHostWindowFromHandle(hWnd));
    // The object kept its site pointer for us; ours is now the last reference.
    ASSERT_TRUE(log.pClientSite);
    EXPECT_EQ(0u, log.pClientSite.Detach()->Release());
}

TEST_F(OleHostWindowTest, UnknownClassFailsTheCreation) {
    EXPECT_EQ(nullptr, CreateHost(kUnknownClsid));
    EXPECT_TRUE(m_factory.m_logs.empty());
    EXPECT_EQ(nullptr, FindWindowW(kOleHostWindowClassName, nullptr));
}

// A window of the class made without the creator has no record to host with.
TEST_F(OleHostWindowTest, WindowWithoutCreatorFailsItsCreation) {
    CLSID clsid = kTestClsid;
    HWND hWnd = CreateWindowExW(0, kOleHostWindowClassName, nullptr, WS_POPUP, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), &clsid);
    EXPECT_EQ(nullptr, hWnd);
    if (hWnd) DestroyWindow(hWnd);
    EXPECT_TRUE(m_factory.m_logs.empty());
}

// A host window inside another: the outer window's messages during the inner
// one's creation (WM_PARENTNOTIFY) must stay with the outer record.
TEST_F(OleHostWindowTest, NestedHostWindowsKeepTheirOwnRecords) {
    OwnedWindow outer(CreateHost(kTestClsid));
    ASSERT_NE(nullptr, outer.Get());
    HWND hInner = CreateHost(kTestClsid, outer.Get(), WS_CHILD);
    ASSERT_NE(nullptr, hInner);
    ASSERT_EQ(2u, m_factory.m_logs.size());

    ASSERT_NE(nullptr, OleHostWindowFromHandle(hInner));
    EXPECT_EQ(hInner, OleHostWindowFromHandle(hInner)->GetWindowHandle());
    EXPECT_EQ(outer.Get(), OleHostWindowFromHandle(outer.Get())->GetWindowHandle());
    EXPECT_EQ(hInner, m_factory.m_logs[1].hwndParent);

    // Destroying the outer window takes the inner one and both objects along.
    ASSERT_TRUE(DestroyWindow(outer.Get()));
    EXPECT_FALSE(IsWindow(hInner));
    for (OleObjectLog& log : m_factory.m_logs) {
        EXPECT_EQ(std::vector<DWORD>{OLECLOSE_NOSAVE}, log.closeOptions);
        EXPECT_TRUE(log.bDestroyed);
        EXPECT_EQ(0u, log.pClientSite.Detach()->Release());
    }
}

// Records, for each message a host window gets before WM_CREATE, whether the
// window already had its record then (the default processing needs it).
struct EarlyMessages {
    std::vector<UINT> messages;
    bool bAllHadRecord = true;
    bool bCreateSeen = false;
};
EarlyMessages* s_pEarly = nullptr;

LRESULT CALLBACK RecordEarlyMessages(int nCode, WPARAM wParam, LPARAM lParam) {
    const auto* pMsg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    wchar_t szClass[64] = {};
    if (nCode == HC_ACTION && s_pEarly && GetClassNameW(pMsg->hwnd, szClass, 64) &&
        lstrcmpW(szClass, kOleHostWindowClassName) == 0) {
        if (pMsg->message == WM_CREATE) s_pEarly->bCreateSeen = true;
        if (!s_pEarly->bCreateSeen) {
            s_pEarly->messages.push_back(pMsg->message);
            OleHostWindow* pRecord = OleHostWindowFromHandle(pMsg->hwnd);
            if (!pRecord || pRecord->GetWindowHandle() != pMsg->hwnd) {
                s_pEarly->bAllHadRecord = false;
            }
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

TEST_F(OleHostWindowTest, MessagesBeforeCreateAlreadyReachTheRecord) {
    EarlyMessages early;
    s_pEarly = &early;
    HHOOK hHook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, RecordEarlyMessages, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hHook);
    OwnedWindow host(CreateHost(kTestClsid));
    UnhookWindowsHookEx(hHook);
    s_pEarly = nullptr;

    ASSERT_NE(nullptr, host.Get());
    EXPECT_TRUE(early.bCreateSeen);
    EXPECT_NE(early.messages.end(),
              std::find(early.messages.begin(), early.messages.end(), WM_NCCREATE));
    EXPECT_TRUE(early.bAllHadRecord);
}

struct IncompleteObjectCase {
    const char* pszName;
    unsigned interfaces;
    bool bSiteGiven;
};

class OleHostIncompleteObjectTest : public OleHostWindowTest,
                                    public testing::WithParamInterface<IncompleteObjectCase> {
protected:
    OleHostIncompleteObjectTest() : OleHostWindowTest(GetParam().interfaces) {}
};

// Without both interfaces the object cannot be hosted: creation fails and
// everything obtained is let go; an object that was given the site has been
// shown already, but is not closed.
TEST_P(OleHostIncompleteObjectTest, FailsTheCreationWithNothingHeld) {
    const IncompleteObjectCase& c = GetParam();
    EXPECT_EQ(nullptr, CreateHost(kTestClsid));
    ASSERT_EQ(1u, m_factory.m_logs.size());
    OleObjectLog& log = m_factory.m_logs[0];

    EXPECT_TRUE(log.bDestroyed);
    EXPECT_TRUE(log.closeOptions.empty());
    EXPECT_EQ(c.bSiteGiven, log.bDoVerb);
    ASSERT_EQ(c.bSiteGiven, static_cast<bool>(log.pClientSite));
    if (c.bSiteGiven) {
        OleHostWindow* pRecord = RecordOf(log.pClientSite.Get());
        EXPECT_EQ(nullptr, pRecord->GetUnknown());
        EXPECT_EQ(nullptr, pRecord->GetOleObject());
        EXPECT_EQ(nullptr, pRecord->GetInPlaceObject());
        EXPECT_EQ(0u, log.pClientSite.Detach()->Release());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OleHostIncompleteObjectTest,
                         testing::Values(IncompleteObjectCase{"NoInPlaceObject", kOleObject, true},
                                         IncompleteObjectCase{"NoOleObject", kInPlaceObject, false},
                                         IncompleteObjectCase{"NeitherInterface", kNoInterfaces,
                                                              false}),
                         [](const testing::TestParamInfo<IncompleteObjectCase>& info) {
                             return std::string(info.param.pszName);
                         });

// Runs first in a process of its own as well (tests.cmake), where no host
// window is ever made.
TEST(OleHostWindowClass, IsRegisteredAndOleInitialisedAtStart) {
    WNDCLASSEXW wc = {sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kOleHostWindowClassName, &wc));
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), wc.style);
    EXPECT_EQ(&OleHostWindowProc, wc.lpfnWndProc);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(0, wc.cbWndExtra);
    EXPECT_EQ(nullptr, wc.hIcon);
    EXPECT_EQ(nullptr, wc.hCursor);
    EXPECT_EQ(nullptr, wc.hbrBackground);
    EXPECT_EQ(nullptr, wc.lpszMenuName);

    // Already initialised on this thread, as a single-threaded apartment.
    HRESULT hr = OleInitialize(nullptr);
    EXPECT_EQ(S_FALSE, hr);
    if (SUCCEEDED(hr)) OleUninitialize();
}

}  // namespace
