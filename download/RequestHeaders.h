// The header block the HTTP worker sends with every GET.
#pragma once

#include <string>

#include "framework/Afx.h"

// Two lines, 75 characters; the server sees no other User-Agent.
extern const wchar_t kRequestHeaderBlock[];

// The block, followed by an open-ended Range line when resuming from a
// non-zero offset.
std::wstring BuildRequestHeaders(DWORD nResumeOffset);
