// CImpIDispatch: the external object page scripts reach through
// window.external.
#pragma once

#include "framework/Afx.h"

class CImpIDispatch {
public:
    CImpIDispatch() = default;
    ULONG m_cRef = 0;
};

// The process-wide external dispatch object, set by start-up.
void SetExternalDispatch(CImpIDispatch* pDispatch);
CImpIDispatch* ExternalDispatch();
