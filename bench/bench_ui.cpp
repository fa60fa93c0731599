// The launcher's user-interface thread during a full-speed download. Runs
// the launcher's own program body (AfxWinMain: the real dialog, widgets and
// controller, from the same objects as launcher.exe) in this process and,
// between the first WM_DOWNLOAD_PROGRESS and WM_DOWNLOAD_FINISHED, takes the
// UI thread's CPU time and counts the WM_PAINT messages of the thread's
// windows: those sent by the widgets' immediate redraws (a WH_CALLWNDPROC
// hook) and those taken from the queue (a WH_GETMESSAGE hook). Hooks, not
// subclassing: the framework knows a window's object only while the window
// procedure is its own. Then it closes the dialog the way the window system
// does, with WM_CLOSE.
//
// usage: bench_ui [LIMIT_S] [--flush-every N] [--progress-every-ms M]
//                 [--stop-check-every-ms M]
// Run it in an empty directory: the installer lands there and is started.
// The options are what-ifs (WhatIf.h); without them the worker runs as it is.
#include <cstdio>
#include <cstdlib>

#include "bench/BenchClock.h"
#include "bench/WhatIf.h"
#include "download/DownloadManager.h"
#include "download/DownloadMessages.h"
#include "framework/WinApp.h"

namespace {

struct Figures {
    bool started = false;
    bool ended = false;
    double t0 = 0, t1 = 0;
    double ui0 = 0, ui1 = 0;
    double cpu0 = 0, cpu1 = 0;
    unsigned progress = 0;
    unsigned errors = 0;
    unsigned paintsSent = 0;
    unsigned paintsQueued = 0;
    unsigned paintsDialog = 0;
};

Figures g;
HWND g_dialog = nullptr;
HANDLE g_done = nullptr;
DWORD g_uiThread = 0;
DWORD g_limitMs = 0;

bool Measuring() { return g.started && !g.ended; }

// A queued WM_PAINT, once taken, is dispatched at once; should the system
// also show it to WH_CALLWNDPROC, it is counted only once.
HWND g_queuedPaint = nullptr;

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && pMsg->message == WM_PAINT) {
        if (pMsg->hwnd == g_queuedPaint) {
            g_queuedPaint = nullptr;
        } else if (Measuring()) {
            ++g.paintsSent;
            if (pMsg->hwnd == g_dialog) ++g.paintsDialog;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (pMsg->message == WM_PAINT) {
            g_queuedPaint = pMsg->hwnd;
            if (Measuring()) {
                ++g.paintsQueued;
                if (pMsg->hwnd == g_dialog) ++g.paintsDialog;
            }
        } else if (pMsg->message == WM_DOWNLOAD_PROGRESS) {
            ++g.progress;
            if (!g.started) {
                // The manager exists by now: the controller's start made it.
                bench::WatchStopEvent(DownloadManager::Instance().m_hStopEvent);
                g_dialog = pMsg->hwnd;
                g.started = true;
                g.cpu0 = bench::ProcessCpu();
                g.ui0 = bench::ThreadCpu(GetCurrentThread());
                g.t0 = bench::Seconds();
            }
        } else if (pMsg->message == WM_DOWNLOAD_ERROR) {
            ++g.errors;
        } else if (pMsg->message == WM_DOWNLOAD_FINISHED && g.started && !g.ended) {
            g.t1 = bench::Seconds();
            g.ui1 = bench::ThreadCpu(GetCurrentThread());
            g.cpu1 = bench::ProcessCpu();
            g.ended = true;
            // Queued behind FINISHED, so the installer is started first.
            PostMessageW(pMsg->hwnd, WM_CLOSE, 0, 0);
            SetEvent(g_done);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
}

DWORD WINAPI Guard(LPVOID) {
    if (WaitForSingleObject(g_done, g_limitMs) == WAIT_OBJECT_0) return 0;
    HWND dialog = g_dialog;
    if (!dialog) EnumThreadWindows(g_uiThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    Sleep(10000);
    fprintf(stderr, "bench_ui: the dialog did not close\n");
    ExitProcess(3);
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD limitMs = (argc > 1 ? atoi(argv[1]) : 600) * 1000u;
    if (!bench::ApplyWhatIfs(argc, argv, 2, WM_DOWNLOAD_PROGRESS)) {
        fprintf(stderr, "bench_ui: bad what-if, or its import is missing\n");
        return 2;
    }
    g_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_uiThread = GetCurrentThreadId();
    HHOOK hHook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, g_uiThread);
    HHOOK hCallHook = SetWindowsHookExW(WH_CALLWNDPROC, CallWndProcHook, nullptr, g_uiThread);

    // Bounds the run: a download that never ends closes the dialog, and a
    // dialog that does not close ends the process.
    g_limitMs = limitMs;
    HANDLE hGuard = CreateThread(nullptr, 0, Guard, nullptr, 0, nullptr);

    AfxWinMain(GetModuleHandleW(nullptr));
    SetEvent(g_done);
    WaitForSingleObject(hGuard, 15000);
    UnhookWindowsHookEx(hHook);
    UnhookWindowsHookEx(hCallHook);
    if (!g.ended) {
        fprintf(stderr, "bench_ui: no complete download (%u progress messages, %u errors)\n",
                g.progress, g.errors);
        return 1;
    }
    double wall = g.t1 - g.t0;
    unsigned paints = g.paintsSent + g.paintsQueued;
    printf(
        "wall=%.3f ui_cpu=%.3f ui_cpu_pct=%.2f cpu=%.3f paints=%u paints_per_s=%.1f "
        "sent_paints=%u queued_paints=%u dialog_paints=%u progress_messages=%u "
        "progress_per_s=%.0f errors=%u\n",
        wall, g.ui1 - g.ui0, 100 * (g.ui1 - g.ui0) / wall, g.cpu1 - g.cpu0, paints, paints / wall,
        g.paintsSent, g.paintsQueued, g.paintsDialog, g.progress, g.progress / wall, g.errors);
    return 0;
}
