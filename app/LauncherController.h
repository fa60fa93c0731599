// LauncherController: drives the installer's download from the first request
// to starting the installer, turning the worker's messages into the status
// line and the two bars. Runs on the user-interface thread only.
#pragma once

#include <string>

#include "framework/Afx.h"

class LauncherController {
public:
    static LauncherController& Instance();

    LauncherController(const LauncherController&) = delete;
    LauncherController& operator=(const LauncherController&) = delete;

    void Start(HWND hwndNotify);
    void HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void BeginDownload(const std::string& fileName);
    void UpdateProgress(int done, int total);
    void LaunchInstaller();

    // Millisecond clock for the display interval; timeGetTime by default.
    void SetClock(DWORD (*pfnNow)()) { m_pfnNow = pfnNow; }

    std::wstring m_strFileName;
    std::string m_strBaseUrl;
    std::string m_strCurrentFile;
    int m_nFileDone = 0;
    int m_nDoneBefore = 0;
    int m_nOverallTotal = 0;
    DWORD m_dwLastUpdate = 0;

    // Errors since the last progress message; from the second one on, the
    // restart waits on a timer instead of hammering a server that is down.
    unsigned m_nFailures = 0;

    static constexpr UINT_PTR kRestartTimerId = 0x4C43;

private:
    LauncherController() = default;
    void OnDownloadError(WPARAM code);
    void RestartNow();

    HWND m_hwndNotify = nullptr;
    DWORD (*m_pfnNow)() = nullptr;
    unsigned m_nJitterSeed = 0;
};

// The wait before the restart that follows the n-th error in a row: none for
// the first, then 1 s doubling to 30 s; jitter (0..1) takes off up to 20 %.
DWORD RestartDelayMs(unsigned nFailures, double jitter);

// The installer's full path, or empty when it does not fit in MAX_PATH.
std::string InstallerPath(const std::string& directory, const std::string& fileName);

// Window x or y that centres `size` on `screen`, truncated toward zero.
int CentredOrigin(int screen, int size);
