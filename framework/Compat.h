// Gaps in MinGW-w64's headers, patched in one place.
#pragma once

#ifndef ICC_WIN95_CLASSES
#define ICC_WIN95_CLASSES 0x000000FF
#endif
#ifndef LWA_COLORKEY
#define LWA_COLORKEY 0x00000001
#endif
