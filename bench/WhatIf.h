// What-ifs for the download worker, measured without touching its code: the
// bench program replaces an import in its own import table.
//
// Flush thinning: FlushFileBuffers passes on only every n-th call (n = 0:
// none). The worker's chunks are 10240 bytes, so n = 100 is about one flush
// per MiB.
//
// Progress coalescing: a posted progress message (the given number) is
// dropped when another went out less than the given milliseconds before,
// unless it reports the file complete (wParam == lParam).
//
// Stop-check thinning: a zero-timeout wait on the stop event (named with
// WatchStopEvent once it exists) asks the system only when the last asking
// is the given milliseconds old, and answers WAIT_TIMEOUT in between. An
// auto-reset event that is not asked keeps its signal, so a stop is seen at
// the next asking.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace bench {

inline unsigned g_flushEvery = 1;
inline unsigned g_flushCalls = 0;
inline BOOL(WINAPI* g_realFlush)(HANDLE) = nullptr;

inline UINT g_progressMessage = 0;
inline ULONGLONG g_progressEveryMs = 0;
inline ULONGLONG g_lastProgressPost = 0;
inline unsigned g_droppedPosts = 0;
inline BOOL(WINAPI* g_realPost)(HWND, UINT, WPARAM, LPARAM) = nullptr;

inline HANDLE g_stopEvent = nullptr;
inline ULONGLONG g_stopCheckEveryMs = 0;
inline ULONGLONG g_lastStopCheck = 0;
inline DWORD(WINAPI* g_realWait)(HANDLE, DWORD) = nullptr;

inline void WatchStopEvent(HANDLE hEvent) { g_stopEvent = hEvent; }

// Only the worker thread tests the stop event without waiting.
inline DWORD WINAPI SometimesAskStop(HANDLE hObject, DWORD dwMilliseconds) {
    if (hObject == g_stopEvent && hObject && dwMilliseconds == 0) {
        ULONGLONG now = GetTickCount64();
        if (now - g_lastStopCheck < g_stopCheckEveryMs) return WAIT_TIMEOUT;
        g_lastStopCheck = now;
    }
    return g_realWait(hObject, dwMilliseconds);
}

inline BOOL WINAPI SometimesFlush(HANDLE hFile) {
    ++g_flushCalls;
    if (g_flushEvery == 0 || g_flushCalls % g_flushEvery != 0) return TRUE;
    return g_realFlush(hFile);
}

// Only the worker thread posts progress, so no lock is needed.
inline BOOL WINAPI CoalescingPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_progressMessage && wParam != static_cast<WPARAM>(lParam)) {
        ULONGLONG now = GetTickCount64();
        if (now - g_lastProgressPost < g_progressEveryMs) {
            ++g_droppedPosts;
            return TRUE;
        }
        g_lastProgressPost = now;
    }
    return g_realPost(hwnd, message, wParam, lParam);
}

// Points this program's import of dll!function at replacement; returns the
// original, or null when the program does not import it.
inline void* PatchImport(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; dir.VirtualAddress && imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
            DWORD protect = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                                &protect))
                return nullptr;
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protect, &protect);
            return original;
        }
    }
    return nullptr;
}

inline bool ThinFlushes(unsigned every) {
    g_flushEvery = every;
    g_realFlush = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(
        PatchImport("kernel32.dll", "FlushFileBuffers", reinterpret_cast<void*>(&SometimesFlush)));
    return g_realFlush != nullptr;
}

inline bool CoalesceProgress(UINT message, unsigned everyMs) {
    g_progressMessage = message;
    g_progressEveryMs = everyMs;
    g_realPost = reinterpret_cast<BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM)>(
        PatchImport("user32.dll", "PostMessageW", reinterpret_cast<void*>(&CoalescingPost)));
    return g_realPost != nullptr;
}

inline bool ThinStopChecks(unsigned everyMs) {
    g_stopCheckEveryMs = everyMs;
    g_realWait = reinterpret_cast<DWORD(WINAPI*)(HANDLE, DWORD)>(PatchImport(
        "kernel32.dll", "WaitForSingleObject", reinterpret_cast<void*>(&SometimesAskStop)));
    return g_realWait != nullptr;
}

// Applies the what-ifs named on a command line: "--flush-every N",
// "--progress-every-ms M" and "--stop-check-every-ms M". False on anything
// else, or when an import is missing.
inline bool ApplyWhatIfs(int argc, char** argv, int first, UINT progressMessage) {
    for (int i = first; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        unsigned value = static_cast<unsigned>(atoi(argv[i + 1]));
        if (strcmp(argv[i], "--flush-every") == 0) {
            if (!ThinFlushes(value)) return false;
        } else if (strcmp(argv[i], "--progress-every-ms") == 0) {
            if (!CoalesceProgress(progressMessage, value)) return false;
        } else if (strcmp(argv[i], "--stop-check-every-ms") == 0) {
            if (!ThinStopChecks(value)) return false;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace bench
