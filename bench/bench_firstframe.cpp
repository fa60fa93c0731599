// Start-to-first-frame of a windowed program, seen from outside it: starts
// PROGRAM, then polls every millisecond for a visible top-level window of
// that process, and then for the moment the window and every window inside
// it have no update region left, which is when the first WM_PAINT of each
// has validated it. The same watcher serves the launcher and the bare
// window, so the two figures carry the same polling error; the bare window
// also reports its own end of painting, which bounds that error.
//
// usage: bench_firstframe PROGRAM [REPORT_FILE] [LIMIT_MS]
// Prints: ms to the visible window, ms to the painted frame, and the
// program's own figure when it wrote REPORT_FILE.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchClock.h"

namespace {

struct Search {
    DWORD pid;
    HWND hwnd;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT rect;
    if (pid != pSearch->pid || !IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &rect) ||
        rect.right <= rect.left || rect.bottom <= rect.top)
        return TRUE;
    pSearch->hwnd = hwnd;
    return FALSE;
}

BOOL CALLBACK ChildHasUpdate(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

bool Painted(HWND hwnd) {
    if (GetUpdateRect(hwnd, nullptr, FALSE)) return false;
    bool pending = false;
    EnumChildWindows(hwnd, ChildHasUpdate, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: bench_firstframe PROGRAM [REPORT_FILE] [LIMIT_MS]\n");
        return 2;
    }
    const char* report = argc > 2 && argv[2][0] ? argv[2] : nullptr;
    const double limit = (argc > 3 ? atoi(argv[3]) : 30000) / 1000.0;
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    if (report) commandLine += std::string(" \"") + report + "\"";
    if (report) DeleteFileA(report);

    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    timeBeginPeriod(1);
    double t0 = bench::Seconds();
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi)) {
        fprintf(stderr, "bench_firstframe: cannot start %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    double visible = -1, painted = -1;
    Search search = {pi.dwProcessId, nullptr};
    while (bench::Seconds() - t0 < limit) {
        if (!search.hwnd) {
            EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
            if (search.hwnd) visible = bench::Seconds() - t0;
        }
        if (search.hwnd && Painted(search.hwnd)) {
            painted = bench::Seconds() - t0;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }

    // The program's own end of its first WM_PAINT, on the same clock.
    double own = -1;
    if (report) {
        for (int i = 0; i < 200 && own < 0; ++i) {
            if (FILE* f = fopen(report, "r")) {
                double at = 0;
                if (fscanf(f, "%lf", &at) == 1) own = at - t0;
                fclose(f);
            }
            if (own < 0) Sleep(10);
        }
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    timeEndPeriod(1);
    if (painted < 0) {
        fprintf(stderr, "bench_firstframe: no painted window within the limit\n");
        return 1;
    }
    printf("visible_ms=%.1f painted_ms=%.1f own_paint_end_ms=%.1f\n", visible * 1000,
           painted * 1000, own < 0 ? -1.0 : own * 1000);
    return 0;
}
