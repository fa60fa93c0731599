// CCustomControlSite: a control site that also answers IDocHostUIHandler, so
// that a hosted HTML document shows no 3-D border, no context menu and no
// browser menus or toolbars, leaves key translation to the control, and
// gives page scripts the launcher's external object (CImpIDispatch).
#pragma once

#include <mshtmhst.h>

#include "framework/OleControlSite.h"

class CCustomControlSite : public COleControlSite {
public:
    explicit CCustomControlSite(COleControlContainer* pCtrlCont);
    ~CCustomControlSite() override;

    class XDocHostUIHandler : public CNestedInterface<IDocHostUIHandler> {
    public:
        using CNestedInterface::CNestedInterface;
        HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                                  IDispatch* pdispReserved) override;
        HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* pInfo) override;
        HRESULT STDMETHODCALLTYPE ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                         IOleCommandTarget* pCommandTarget,
                                         IOleInPlaceFrame* pFrame,
                                         IOleInPlaceUIWindow* pDoc) override;
        HRESULT STDMETHODCALLTYPE HideUI() override;
        HRESULT STDMETHODCALLTYPE UpdateUI() override;
        HRESULT STDMETHODCALLTYPE EnableModeless(BOOL fEnable) override;
        HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL fActivate) override;
        HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL fActivate) override;
        HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                               BOOL fRameWindow) override;
        HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup,
                                                       DWORD nCmdID) override;
        HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) override;
        HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* pDropTarget,
                                                IDropTarget** ppDropTarget) override;
        HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** ppDispatch) override;
        HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD dwTranslate, LPWSTR pchURLIn,
                                               LPWSTR* ppchURLOut) override;
        HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* pDO,
                                                   IDataObject** ppDORet) override;
    } m_xDocHostUIHandler{this};

protected:
    const AFX_INTERFACEMAP* GetInterfaceMap() const override { return &interfaceMap; }

    static const AFX_INTERFACEMAP_ENTRY interfaceEntries[];
    static const AFX_INTERFACEMAP interfaceMap;
};
