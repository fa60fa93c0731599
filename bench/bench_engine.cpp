// Times the launcher's download engine on its own: the download manager and
// its HTTP worker fetch one file into the current directory (temporary file,
// then renamed into place) while this thread pumps the worker's messages for
// a hidden window, as the launcher's dialog does, minus the drawing.
//
// usage: bench_engine URL LOCAL_NAME [LIMIT_S] [--flush-every N]
//                     [--progress-every-ms M] [--stop-check-every-ms M]
// The options are what-ifs (WhatIf.h); without them the worker runs as it is.
// Prints: wall, process CPU, the two threads' CPU, memory peaks.
#include <cstdio>
#include <cstdlib>

#include "bench/BenchClock.h"
#include "bench/WhatIf.h"
#include "download/DownloadManager.h"
#include "download/DownloadMessages.h"
#include "download/HttpFileObject.h"

namespace {

struct Outcome {
    bool finished = false;
    bool failed = false;
    LPARAM errorStatus = 0;
    unsigned progressMessages = 0;
    DWORD lastDone = 0;
    DWORD lastTotal = 0;
};

Outcome g_outcome;

LRESULT CALLBACK NotifyProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DOWNLOAD_PROGRESS:
            ++g_outcome.progressMessages;
            g_outcome.lastDone = static_cast<DWORD>(wParam);
            g_outcome.lastTotal = static_cast<DWORD>(lParam);
            return 0;
        case WM_DOWNLOAD_FINISHED: g_outcome.finished = true; return 0;
        case WM_DOWNLOAD_ERROR:
            g_outcome.failed = true;
            g_outcome.errorStatus = lParam;
            return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

HWND CreateNotifyWindow() {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchEngineNotify";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 561, 219, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// The same order as the launcher's shutdown: stop event, quit, bounded wait.
void StopWorker(DownloadManager& manager) {
    SetEvent(manager.m_hStopEvent);
    CHttpFileObject* pWorker = manager.m_pHttpWorker;
    if (!pWorker) return;
    PostThreadMessageW(pWorker->m_nThreadID, WM_QUIT, 0, 0);
    if (WaitForSingleObject(pWorker->m_hThread, 5000) == WAIT_OBJECT_0) delete pWorker;
    manager.m_pHttpWorker = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_engine URL LOCAL_NAME [LIMIT_S] [what-ifs]\n");
        return 2;
    }
    const DWORD limitMs = (argc > 3 ? atoi(argv[3]) : 900) * 1000u;
    if (!bench::ApplyWhatIfs(argc, argv, 4, WM_DOWNLOAD_PROGRESS)) {
        fprintf(stderr, "bench_engine: bad what-if, or its import is missing\n");
        return 2;
    }

    HWND hwnd = CreateNotifyWindow();
    DownloadManager& manager = DownloadManager::Instance();
    if (!hwnd || !manager.m_pHttpWorker) {
        fprintf(stderr, "bench_engine: no window or no worker\n");
        return 1;
    }
    manager.m_pHttpWorker->m_hNotifyWnd = hwnd;
    bench::WatchStopEvent(manager.m_hStopEvent);
    HANDLE hWorker = manager.m_pHttpWorker->m_hThread;
    bench::MemoryPeaks before = bench::Peaks();

    double cpu0 = bench::ProcessCpu();
    double ui0 = bench::ThreadCpu(GetCurrentThread());
    double worker0 = bench::ThreadCpu(hWorker);
    double t0 = bench::Seconds();
    manager.StartDownload(argv[1], argv[2]);

    DWORD start = GetTickCount();
    MSG msg;
    while (!g_outcome.finished && !g_outcome.failed) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limitMs) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - elapsed, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    double wall = bench::Seconds() - t0;
    double cpu = bench::ProcessCpu() - cpu0;
    double ui = bench::ThreadCpu(GetCurrentThread()) - ui0;
    double worker = bench::ThreadCpu(hWorker) - worker0;
    bench::MemoryPeaks after = bench::Peaks();

    StopWorker(manager);
    if (!g_outcome.finished) {
        fprintf(stderr, "bench_engine: %s (status %ld) after %u progress messages\n",
                g_outcome.failed ? "download error" : "timed out",
                static_cast<long>(g_outcome.errorStatus), g_outcome.progressMessages);
        return 1;
    }
    printf(
        "wall=%.3f cpu=%.3f ui_cpu=%.3f worker_cpu=%.3f bytes=%lu progress_messages=%u "
        "peak_ws_before_mib=%.1f peak_ws_mib=%.1f peak_pagefile_before_mib=%.1f "
        "peak_pagefile_mib=%.1f flush_calls=%u dropped_posts=%u\n",
        wall, cpu, ui, worker, static_cast<unsigned long>(g_outcome.lastDone),
        g_outcome.progressMessages, before.peakWorkingSetMiB, after.peakWorkingSetMiB,
        before.peakPagefileMiB, after.peakPagefileMiB, bench::g_flushCalls, bench::g_droppedPosts);
    return 0;
}
