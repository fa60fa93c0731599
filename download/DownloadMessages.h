// The messages between the download workers and the window that watches
// them. Window messages are always posted, never sent.
#pragma once

#include "framework/Afx.h"

// Worker's own thread: run the prepared request. wParam 0, lParam 0.
constexpr UINT WM_DOWNLOAD_REQUEST = WM_APP + 100;
// wParam: bytes held locally; lParam: expected size of the whole file.
constexpr UINT WM_DOWNLOAD_PROGRESS = WM_APP + 12;
// The complete file is in place. wParam 0, lParam 0.
constexpr UINT WM_DOWNLOAD_FINISHED = WM_APP + 13;
// wParam: kDownloadErrorCode; lParam: HTTP status when >= 300, else 0.
constexpr UINT WM_DOWNLOAD_ERROR = WM_APP + 2;

constexpr WPARAM kDownloadErrorCode = 5;
