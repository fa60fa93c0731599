// CCustomOccManager: the control-containment manager; its sites answer the
// HTML document host's questions.
#pragma once

#include "framework/OccManager.h"

class CCustomOccManager : public COccManager {
public:
    CCustomOccManager() = default;
};
