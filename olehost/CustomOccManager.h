// CCustomOccManager: the control-containment manager; its sites answer the
// HTML document host's questions (CCustomControlSite).
#pragma once

#include "framework/OccManager.h"

class CCustomOccManager : public COccManager {
public:
    CCustomOccManager() = default;

    COleControlSite* CreateSite(COleControlContainer* pCtrlCont) override;
};
