#include "tests/soak/ObjectCounts.h"

#include <winternl.h>

#include <vector>

namespace {

using NtQuerySystemInformationFn = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
using NtQueryInformationProcessFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG,
                                                     PULONG);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

DWORD CountHandles() {
    auto query = reinterpret_cast<NtQuerySystemInformationFn>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation"));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status = kInfoLengthMismatch;
    for (int tries = 0; tries < 8 && status == kInfoLengthMismatch; ++tries) {
        ULONG needed = 0;
        status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &needed);
        if (status == kInfoLengthMismatch)
            buffer.resize(std::max<size_t>(needed, buffer.size() * 2));
    }
    if (status < 0) return 0;
    auto* pInfo = reinterpret_cast<SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    DWORD pid = GetCurrentProcessId(), n = 0;
    for (ULONG i = 0; i < pInfo->Count; ++i) n += pInfo->Handle[i].OwnerPid == pid;
    return n;
}

// One entry of the GDI handle table, laid out alike on Windows and Wine.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 user;
};
static_assert(sizeof(GdiHandleEntry) == 24);

DWORD CountGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess"));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) < 0)
        return 0;
    // PEB.GdiSharedHandleTable
    const size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    auto* pTable =
        *reinterpret_cast<GdiHandleEntry**>(reinterpret_cast<BYTE*>(basic.PebBaseAddress) + offset);
    MEMORY_BASIC_INFORMATION region = {};
    if (!pTable || !VirtualQuery(pTable, &region, sizeof(region)) || region.State != MEM_COMMIT)
        return 0;
    size_t available = (static_cast<BYTE*>(region.BaseAddress) + region.RegionSize -
                        reinterpret_cast<BYTE*>(pTable)) /
                       sizeof(GdiHandleEntry);
    DWORD n = 0;
    for (size_t i = 0; i < std::min<size_t>(available, 0x10000); ++i) n += pTable[i].type != 0;
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM lParam) {
    ++*reinterpret_cast<DWORD*>(lParam);
    return TRUE;
}

// The input-method window comes and goes with a thread's first and last
// window; it is the system's, not ours.
BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[8] = L"";
    GetClassNameW(hwnd, cls, 8);
    if (pid == GetCurrentProcessId() && lstrcmpiW(cls, L"IME") != 0) {
        ++*reinterpret_cast<DWORD*>(lParam);
        EnumChildWindows(hwnd, CountChild, lParam);
    }
    return TRUE;
}

}  // namespace

ObjectCounts TakeObjectCounts() {
    ObjectCounts counts;
    counts.handles = CountHandles();
    counts.gdi = CountGdiObjects();
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counts.windows));
    return counts;
}
