// A small OLE object for the host window tests: its class factory is
// registered in the test process, and every object writes down the calls it
// gets, including what the host's in-place site answers during DoVerb.
#pragma once

#include <ole2.h>

#include <deque>
#include <utility>
#include <vector>

#include "framework/ComPtr.h"

// The interfaces a test object answers besides IUnknown.
enum TestObjectInterfaces : unsigned {
    kNoInterfaces = 0,
    kOleObject = 1,
    kInPlaceObject = 2,
    kBoth = kOleObject | kInPlaceObject,
};

struct OleObjectLog {
    // The site the object was given; kept past the object's life so that a
    // test can check who else still holds it.
    CComPtr<IOleClientSite> pClientSite;
    int nSetClientSite = 0;

    bool bDoVerb = false;
    LONG iVerb = 0;
    bool bMsgGiven = false;
    IOleClientSite* pActiveSite = nullptr;
    LONG lindex = 0;
    HWND hwndParent = nullptr;
    RECT rcDoVerb = {};

    // What the active site answered while DoVerb activated in place.
    HRESULT hrCanInPlaceActivate = E_FAIL;
    HRESULT hrGetWindow = E_FAIL;
    HWND hwndSite = nullptr;
    HRESULT hrWindowContext = E_FAIL;
    RECT rcPos = {};
    RECT rcClip = {};
    HWND hwndFrame = nullptr;
    bool bDocGiven = false;

    std::vector<std::pair<RECT, RECT>> objectRects;
    std::vector<DWORD> closeOptions;
    bool bDestroyed = false;
};

// Lives on the test's stack: COM's references never free it.
class TestClassFactory final : public IClassFactory {
public:
    explicit TestClassFactory(unsigned interfaces) : m_interfaces(interfaces) {}
    TestClassFactory(const TestClassFactory&) = delete;
    TestClassFactory& operator=(const TestClassFactory&) = delete;

    // One log per object made, in order.
    std::deque<OleObjectLog> m_logs;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                             void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    unsigned m_interfaces;
    ULONG m_cRef = 0;
};

// Registers a factory for clsid in this process for the registration's life.
class ClassRegistration {
public:
    ClassRegistration(REFCLSID clsid, IClassFactory* pFactory);
    ~ClassRegistration();
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;

    HRESULT m_hr = E_FAIL;

private:
    DWORD m_dwCookie = 0;
};
