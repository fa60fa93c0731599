#include "app/MainApp.h"

#include <commctrl.h>

#include "app/MainDlg.h"
#include "framework/OccManager.h"
#include "framework/StaticInit.h"
#include "olehost/CustomOccManager.h"
#include "olehost/ImpIDispatch.h"
#include "simpleui/LoadPngResource.h"

CMainApp theApp INIT_ORDER_APP;

CMainApp::CMainApp() : CWinAppEx(TRUE) {}

CMainApp::~CMainApp() = default;

BOOL CMainApp::InitInstance() {
    auto* pOccManager = new CCustomOccManager;
    SetExternalDispatch(new CImpIDispatch);

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    CWinAppEx::InitInstance();
    SetPngResourceModule(m_hInstance);
    // OLE is already initialised, by the host window class's registrar.
    AfxEnableControlContainer(pOccManager);

    auto* pDlg = new CMainDlg;
    INT_PTR nResult = pDlg->DoModal();
    delete pDlg;
    return nResult == IDCANCEL;
}
