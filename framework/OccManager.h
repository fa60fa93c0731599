// COccManager: the control-containment manager the framework asks for
// control sites.
#pragma once

#include "framework/Afx.h"

class COccManager {
public:
    COccManager() = default;
    COccManager(const COccManager&) = delete;
    COccManager& operator=(const COccManager&) = delete;
    virtual ~COccManager() = default;
};

// Makes pManager the process's control-containment manager.
void AfxEnableControlContainer(COccManager* pManager = nullptr);
COccManager* AfxGetOccManager();
