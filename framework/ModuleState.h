// AFX_MODULE_STATE and AFX_MANAGE_STATE: which module's resources the code
// running on a thread stands for.
//
// Differs from MFC: the launcher is one statically linked module, so a state
// only records its instance handle; entering one swaps a per-thread pointer
// and changes nothing else.
#pragma once

#include "framework/Afx.h"

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
};

// The state the current thread runs in (the program's own unless a guard
// below has entered another).
AFX_MODULE_STATE* AfxGetModuleState();
// The program's own state.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Enters pNewState for its lifetime and restores the previous one.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevState;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)
