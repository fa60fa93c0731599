// COccManager: the control-containment manager the framework asks for the
// site of every control a window hosts.
//
// Differs from MFC: the manager only makes sites; there is no dialog-template
// control creation. The site it returns carries the creator's reference
// (see COleControlSite).
#pragma once

#include "framework/Afx.h"

class COleControlContainer;
class COleControlSite;

class COccManager {
public:
    COccManager() = default;
    COccManager(const COccManager&) = delete;
    COccManager& operator=(const COccManager&) = delete;
    virtual ~COccManager() = default;

    virtual COleControlSite* CreateSite(COleControlContainer* pCtrlCont);
};

// Makes pManager the process's control-containment manager; null stands for
// a plain COccManager of the framework's own.
void AfxEnableControlContainer(COccManager* pManager = nullptr);
// The manager enabled last, or null while containment is not enabled.
COccManager* AfxGetOccManager();
