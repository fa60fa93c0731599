#include "framework/OccManager.h"

namespace {
COccManager* s_pOccManager = nullptr;
}

void AfxEnableControlContainer(COccManager* pManager) { s_pOccManager = pManager; }
COccManager* AfxGetOccManager() { return s_pOccManager; }
