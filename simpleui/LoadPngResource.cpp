#include "simpleui/LoadPngResource.h"

namespace {
HINSTANCE s_hModule = nullptr;
}

void SetPngResourceModule(HINSTANCE hModule) { s_hModule = hModule; }
HINSTANCE PngResourceModule() { return s_hModule ? s_hModule : GetModuleHandleW(nullptr); }

bool LoadPngResource(int, CImage&) { return false; }
