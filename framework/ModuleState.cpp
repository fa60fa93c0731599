#include "framework/ModuleState.h"

namespace {
// Null while a thread runs in the program's own state.
thread_local AFX_MODULE_STATE* t_pEnteredState = nullptr;
}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    static AFX_MODULE_STATE s_state = {GetModuleHandleW(nullptr)};
    return &s_state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    return t_pEnteredState ? t_pEnteredState : AfxGetStaticModuleState();
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState)
    : m_pPrevState(t_pEnteredState) {
    t_pEnteredState = pNewState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() { t_pEnteredState = m_pPrevState; }
