// COleControlContainer and COleControlSite: the container side of OLE control
// containment. A window's container asks the control-containment manager for
// one site per hosted control; the site is the control's client site.
//
// Differs from MFC: the launcher hosts no control, so the container only
// names its window, and the site answers IOleClientSite alone (no in-place,
// ambient-property, event or data-binding interfaces). A site is reference
// counted (CCmdTarget): its owner drops its reference with InternalRelease
// instead of deleting it, so a control holding the site keeps it alive.
#pragma once

#include <ole2.h>

#include "framework/CmdTarget.h"

class CWnd;

class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    CWnd* m_pWnd;
};

class COleControlSite : public CCmdTarget {
public:
    explicit COleControlSite(COleControlContainer* pCtrlCont);
    ~COleControlSite() override;

    COleControlContainer* m_pCtrlCont;

    class XOleClientSite : public CNestedInterface<IOleClientSite> {
    public:
        using CNestedInterface::CNestedInterface;
        HRESULT STDMETHODCALLTYPE SaveObject() override;
        HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker,
                                             IMoniker** ppmk) override;
        HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** ppContainer) override;
        HRESULT STDMETHODCALLTYPE ShowObject() override;
        HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL fShow) override;
        HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
    } m_xOleClientSite{this};

protected:
    const AFX_INTERFACEMAP* GetInterfaceMap() const override { return &interfaceMap; }

    static const AFX_INTERFACEMAP_ENTRY interfaceEntries[];
    static const AFX_INTERFACEMAP interfaceMap;
};
