// What this process holds: kernel handles, GDI objects and windows. Wine
// answers 0 to GetProcessHandleCount and GetGuiResources, so the counts come
// from what both systems fill in: the system's handle list, and the GDI
// handle table the PEB points at when GetGuiResources gives nothing.
#pragma once

#include "framework/Afx.h"

struct ObjectCounts {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD windows = 0;
};

ObjectCounts TakeObjectCounts();
