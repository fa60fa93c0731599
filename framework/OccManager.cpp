#include "framework/OccManager.h"

#include "framework/OleControlSite.h"

namespace {
COccManager* s_pOccManager = nullptr;
}

COleControlSite* COccManager::CreateSite(COleControlContainer* pCtrlCont) {
    return new COleControlSite(pCtrlCont);
}

void AfxEnableControlContainer(COccManager* pManager) {
    static COccManager s_defaultManager;
    s_pOccManager = pManager ? pManager : &s_defaultManager;
}

COccManager* AfxGetOccManager() { return s_pOccManager; }
