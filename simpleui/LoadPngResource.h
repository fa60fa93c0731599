// Decoding the PNG pictures compiled into the program.
#pragma once

#include "framework/Afx.h"

class CImage;

// The module whose "PNG" resources LoadPngResource reads; start-up sets it.
void SetPngResourceModule(HINSTANCE hModule);
HINSTANCE PngResourceModule();

// True only when the decoder reported success; otherwise the image is empty.
bool LoadPngResource(int resourceId, CImage& image);
