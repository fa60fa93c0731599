// What-if for the worker's flush after every chunk, without touching the
// worker: replaces FlushFileBuffers in this program's import table with a
// stand-in that passes on only every n-th call (n = 0: none). The worker's
// chunks are 10240 bytes, so n = 100 is about one flush per MiB.
#pragma once

#include <windows.h>

#include <cstring>

namespace bench {

inline unsigned g_flushEvery = 1;
inline unsigned g_flushCalls = 0;
inline BOOL(WINAPI* g_realFlush)(HANDLE) = nullptr;

inline BOOL WINAPI SometimesFlush(HANDLE hFile) {
    ++g_flushCalls;
    if (g_flushEvery == 0 || g_flushCalls % g_flushEvery != 0) return TRUE;
    return g_realFlush(hFile);
}

// True when the import was found and replaced.
inline bool PatchFlushFileBuffers(unsigned every) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; dir.VirtualAddress && imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "kernel32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), "FlushFileBuffers") != 0) continue;
            DWORD protect = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                                &protect))
                return false;
            g_realFlush = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(slots->u1.Function);
            g_flushEvery = every;
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&SometimesFlush);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protect, &protect);
            return true;
        }
    }
    return false;
}

}  // namespace bench
