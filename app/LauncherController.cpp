#include "app/LauncherController.h"

#include <mmsystem.h>

#include <algorithm>
#include <cwchar>

#include "app/ErrorBox.h"
#include "download/DownloadManager.h"
#include "download/DownloadMessages.h"
#include "download/HttpFileObject.h"
#include "framework/StrConv.h"
#include "launcher_ui/SimpleUISystem.h"
#include "simpleui/SimpleUIProgressBar.h"
#include "simpleui/SimpleUIText.h"

#ifndef LAUNCHER_BASE_URL
#error "LAUNCHER_BASE_URL must name the download server, ending in /"
#endif

namespace {

const char kInstallerFileName[] = "ny_setup_hx_v1.1.9.5026.exe";
const DWORD kUpdateIntervalMs = 100;

void SetStatusText(const std::wstring& text) {
    if (SimpleUIText* pText = LauncherUi().m_pProgressText) pText->SetText(text);
}

void SetBar(SimpleUIProgressBar* pBar, float value) {
    if (pBar) pBar->SetValue(value);
}

}  // namespace

DWORD RestartDelayMs(unsigned nFailures, double jitter) {
    if (nFailures <= 1) return 0;
    DWORD base = std::min<DWORD>(30000, 1000u << std::min(nFailures - 2, 5u));
    return base - static_cast<DWORD>(base * 0.2 * std::clamp(jitter, 0.0, 1.0));
}

std::string InstallerPath(const std::string& directory, const std::string& fileName) {
    char path[MAX_PATH];
    int n = snprintf(path, sizeof(path), "%s\\%s", directory.c_str(), fileName.c_str());
    if (n < 0 || n >= static_cast<int>(sizeof(path))) return {};
    return path;
}

int CentredOrigin(int screen, int size) { return (screen - size) / 2; }

LauncherController& LauncherController::Instance() {
    static LauncherController s_instance;
    return s_instance;
}

void LauncherController::Start(HWND hwndNotify) {
    m_nFileDone = 0;
    m_nDoneBefore = 0;
    m_nOverallTotal = 0;
    m_strBaseUrl = LAUNCHER_BASE_URL;
    m_hwndNotify = hwndNotify;
    DownloadManager& manager = DownloadManager::Instance();
    if (manager.m_pHttpWorker) manager.m_pHttpWorker->m_hNotifyWnd = hwndNotify;
    UpdateProgress(0, 0);
    BeginDownload(kInstallerFileName);
}

void LauncherController::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DOWNLOAD_PROGRESS:
            m_nFailures = 0;
            UpdateProgress(static_cast<int>(wParam), static_cast<int>(lParam));
            break;
        case WM_DOWNLOAD_FINISHED:
            m_nFailures = 0;
            LaunchInstaller();
            break;
        case WM_DOWNLOAD_ERROR: OnDownloadError(wParam); break;
        case WM_TIMER:
            if (wParam == kRestartTimerId && m_hwndNotify) {
                KillTimer(m_hwndNotify, kRestartTimerId);
                RestartNow();
            }
            break;
    }
}

void LauncherController::OnDownloadError(WPARAM code) {
    OutputDebugStringA("download error!!");
    std::wstring text =
        L"Download Error -- " + std::to_wstring(static_cast<DWORD>(code)) + L", retrying...";
    LauncherUi().SetProgressText(text.c_str());

    if (m_nJitterSeed == 0) m_nJitterSeed = GetTickCount() | 1;
    m_nJitterSeed = m_nJitterSeed * 1103515245u + 12345u;
    double jitter = ((m_nJitterSeed >> 16) & 0x7FFF) / 32767.0;
    DWORD delay = RestartDelayMs(++m_nFailures, jitter);
    // The error text stays up while the timer runs.
    if (delay == 0 || !m_hwndNotify || !SetTimer(m_hwndNotify, kRestartTimerId, delay, nullptr))
        RestartNow();
}

void LauncherController::RestartNow() {
    std::string fileName = m_strCurrentFile;
    BeginDownload(fileName);
}

void LauncherController::BeginDownload(const std::string& fileName) {
    std::string url = m_strBaseUrl + fileName;
    std::wstring wideUrl = AnsiToWide(url);
    size_t slash = wideUrl.rfind(L'/');
    m_strFileName = slash == std::wstring::npos ? wideUrl : wideUrl.substr(slash + 1);
    m_strCurrentFile = fileName;
    SetStatusText(m_strFileName);
    m_dwLastUpdate = 0;
    std::string localName = WideToAnsi(m_strFileName);
    DownloadManager::Instance().StartDownload(url.c_str(), localName.c_str());
}

void LauncherController::UpdateProgress(int done, int total) {
    DWORD now = m_pfnNow ? m_pfnNow() : timeGetTime();
    if (now - m_dwLastUpdate < kUpdateIntervalMs && done != total) return;
    m_dwLastUpdate = now;

    float d = static_cast<float>(done);
    float t = static_cast<float>(total);
    wchar_t text[512];
    swprintf(text, 512, L"文件大小:%.1fm/%.1fm 文件名字:%ls", static_cast<double>(d / 1048576),
             static_cast<double>(t / 1048576), m_strFileName.c_str());
    SetStatusText(text);

    SetBar(LauncherUi().m_pProgressBar2, t != 0 ? d / t : 0.0f);
    m_nFileDone = done;
    int overallDone = m_nDoneBefore + m_nFileDone;
    SetBar(LauncherUi().m_pProgressBar,
           m_nOverallTotal != 0
               ? static_cast<float>(static_cast<double>(overallDone) / m_nOverallTotal)
               : 0.0f);
}

void LauncherController::LaunchInstaller() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(directory), directory);
    std::string path = InstallerPath(directory, kInstallerFileName);

    WIN32_FIND_DATAA findData;
    HANDLE hFind = FindFirstFileA(kInstallerFileName, &findData);
    if (hFind == INVALID_HANDLE_VALUE) return;

    // A path cut at MAX_PATH would name another file: start nothing then.
    if (!path.empty()) {
        char commandLine[1] = "";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessA(path.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                           directory, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        } else {
            ShowLastErrorBox(260);
        }
    }
    FindClose(hFind);
}
