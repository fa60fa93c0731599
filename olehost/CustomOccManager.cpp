#include "olehost/CustomOccManager.h"

#include "olehost/CustomControlSite.h"

COleControlSite* CCustomOccManager::CreateSite(COleControlContainer* pCtrlCont) {
    return new CCustomControlSite(pCtrlCont);
}
