#include "olehost/ImpIDispatch.h"

namespace {
CImpIDispatch* s_pDispatch = nullptr;
}

void SetExternalDispatch(CImpIDispatch* pDispatch) { s_pDispatch = pDispatch; }
CImpIDispatch* ExternalDispatch() { return s_pDispatch; }
