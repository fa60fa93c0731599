// The platform's floor for the download engine: a bare WinINet loop over the
// same URL, with the worker's request flags and header block, reading CHUNK
// bytes at a time (10240 by default, the worker's chunk). Steps can be added
// to each chunk, one at a time, to see what each costs:
//
// usage: bench_floor URL STEPS [CHUNK] [FILE]
//   STEPS mem          chunks land in one buffer and are dropped
//         write        each chunk is written to FILE
//         write,flush  ... and flushed to disk (FlushFileBuffers)
//         ...,watch    ... and each read is guarded like the framework's
//                      request watchdog guards it: a deadline set under a
//                      lock and a condition variable woken for a thread
//                      that sleeps until the deadline
//         ...,event    ... and an event is tested without waiting
//         ...,post     ... and, with the loop on a second thread, a message
//                      is posted to a window this thread pumps: with event,
//                      the worker's per-chunk protocol
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchClock.h"

namespace {

const wchar_t kHeaders[] =
    L"Accept: */*\r\nUser-Agent:  Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";
const DWORD kRequestFlags =
    INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_TRANSFER_BINARY;
const UINT kChunkMessage = WM_APP + 12;
const UINT kDoneMessage = WM_APP + 13;

// The framework's request watchdog, reduced to its per-read traffic: Arm
// sets a deadline and wakes the watching thread, Disarm clears it.
class Watch {
public:
    Watch() { m_hThread = CreateThread(nullptr, 0, Entry, this, 0, nullptr); }
    ~Watch() {
        AcquireSRWLockExclusive(&m_lock);
        m_quit = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeConditionVariable(&m_wake);
        WaitForSingleObject(m_hThread, 5000);
        CloseHandle(m_hThread);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    void Arm(DWORD timeoutMs) {
        AcquireSRWLockExclusive(&m_lock);
        m_armed = true;
        m_deadline = GetTickCount64() + timeoutMs;
        ReleaseSRWLockExclusive(&m_lock);
        WakeConditionVariable(&m_wake);
    }
    void Disarm() {
        AcquireSRWLockExclusive(&m_lock);
        m_armed = false;
        ReleaseSRWLockExclusive(&m_lock);
    }
    HANDLE thread() const { return m_hThread; }

private:
    static DWORD WINAPI Entry(LPVOID pParam) {
        auto* self = static_cast<Watch*>(pParam);
        AcquireSRWLockExclusive(&self->m_lock);
        while (!self->m_quit) {
            ULONGLONG now = GetTickCount64();
            DWORD wait = !self->m_armed           ? INFINITE
                         : now < self->m_deadline ? static_cast<DWORD>(self->m_deadline - now)
                                                  : 0;
            if (self->m_armed && wait == 0) {
                self->m_armed = false;  // where the framework closes the request
            } else {
                SleepConditionVariableSRW(&self->m_wake, &self->m_lock, wait, 0);
            }
        }
        ReleaseSRWLockExclusive(&self->m_lock);
        return 0;
    }

    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_wake = CONDITION_VARIABLE_INIT;
    HANDLE m_hThread = nullptr;
    bool m_armed = false;
    bool m_quit = false;
    ULONGLONG m_deadline = 0;
};

struct Loop {
    HINTERNET hRequest = nullptr;
    HANDLE hFile = INVALID_HANDLE_VALUE;
    bool flush = false;
    Watch* pWatch = nullptr;
    bool event = false;
    bool post = false;
    HWND hwnd = nullptr;
    HANDLE hStop = nullptr;
    std::vector<char> buffer;
    unsigned long long total = 0;
    unsigned reads = 0;
    bool ok = false;
    double threadCpu = 0;  // taken by the thread itself: Wine forgets an ended thread's times
};

bool RunLoop(Loop& loop) {
    for (;;) {
        DWORD got = 0;
        if (loop.pWatch) loop.pWatch->Arm(3000);
        BOOL read = InternetReadFile(loop.hRequest, loop.buffer.data(),
                                     static_cast<DWORD>(loop.buffer.size()), &got);
        if (loop.pWatch) loop.pWatch->Disarm();
        if (!read) {
            fprintf(stderr, "bench_floor: read failed (%lu)\n", GetLastError());
            return false;
        }
        if (got == 0) return true;
        ++loop.reads;
        loop.total += got;
        if (loop.hFile != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            if (!WriteFile(loop.hFile, loop.buffer.data(), got, &written, nullptr) ||
                written != got)
                return false;
            if (loop.flush && !FlushFileBuffers(loop.hFile)) return false;
        }
        if (loop.event && WaitForSingleObject(loop.hStop, 0) == WAIT_OBJECT_0) return false;
        if (loop.post) PostMessageW(loop.hwnd, kChunkMessage, static_cast<WPARAM>(loop.total), 0);
    }
}

DWORD WINAPI LoopThread(LPVOID pParam) {
    auto* pLoop = static_cast<Loop*>(pParam);
    pLoop->ok = RunLoop(*pLoop);
    pLoop->threadCpu = bench::ThreadCpu(GetCurrentThread());
    PostMessageW(pLoop->hwnd, kDoneMessage, 0, 0);
    return 0;
}

bool g_done = false;
unsigned g_messages = 0;

LRESULT CALLBACK PumpProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kChunkMessage) {
        ++g_messages;
        return 0;
    }
    if (message == kDoneMessage) {
        g_done = true;
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

std::wstring Widen(const char* psz) {
    int n = MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, psz, -1, out.data(), n);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr,
                "usage: bench_floor URL mem|write[,flush][,watch][,event][,post] [CHUNK] [FILE]\n");
        return 2;
    }
    const std::string steps = argv[2];
    const DWORD chunk = argc > 3 ? static_cast<DWORD>(atoi(argv[3])) : 10240;
    Loop loop;
    loop.flush = steps.find("flush") != std::string::npos;
    loop.event = steps.find("event") != std::string::npos;
    std::unique_ptr<Watch> watch;
    if (steps.find("watch") != std::string::npos) {
        watch = std::make_unique<Watch>();
        loop.pWatch = watch.get();
    }
    loop.post = steps.find("post") != std::string::npos;
    const bool toFile = loop.flush || steps.find("write") != std::string::npos;
    if (chunk == 0 || (toFile && argc < 5)) {
        fprintf(stderr, "bench_floor: bad chunk or missing file\n");
        return 2;
    }
    loop.buffer.resize(chunk);

    HINTERNET hSession =
        InternetOpenW(L"bench_floor", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!hSession) return 1;
    if (toFile) {
        loop.hFile = CreateFileA(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (loop.hFile == INVALID_HANDLE_VALUE) return 1;
    }
    if (loop.post) {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = PumpProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BenchFloorPump";
        RegisterClassExW(&wc);
        loop.hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                    nullptr, wc.hInstance, nullptr);
        if (!loop.hwnd) return 1;
    }
    loop.hStop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const std::wstring url = Widen(argv[1]);

    double cpu0 = bench::ProcessCpu();
    double main0 = bench::ThreadCpu(GetCurrentThread());
    double t0 = bench::Seconds();
    loop.hRequest =
        InternetOpenUrlW(hSession, url.c_str(), kHeaders, static_cast<DWORD>(-1), kRequestFlags, 1);
    if (!loop.hRequest) {
        fprintf(stderr, "bench_floor: InternetOpenUrl failed (%lu)\n", GetLastError());
        return 1;
    }
    double loopThreadCpu = 0;
    if (loop.post) {
        HANDLE hThread = CreateThread(nullptr, 0, LoopThread, &loop, 0, nullptr);
        if (!hThread) return 1;
        DWORD start = GetTickCount();
        MSG msg;
        while (!g_done && GetTickCount() - start < 900000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        if (!g_done) SetEvent(loop.hStop);
        WaitForSingleObject(hThread, 10000);
        loopThreadCpu = loop.threadCpu;
        CloseHandle(hThread);
    } else {
        loop.ok = RunLoop(loop);
        loopThreadCpu = bench::ThreadCpu(GetCurrentThread()) - main0;
    }
    InternetCloseHandle(loop.hRequest);
    if (loop.hFile != INVALID_HANDLE_VALUE) CloseHandle(loop.hFile);
    double wall = bench::Seconds() - t0;
    double cpu = bench::ProcessCpu() - cpu0;
    double mainCpu = bench::ThreadCpu(GetCurrentThread()) - main0;
    InternetCloseHandle(hSession);
    if (!loop.ok) return 1;
    double watchCpu = watch ? bench::ThreadCpu(watch->thread()) : 0.0;
    printf(
        "wall=%.3f cpu=%.3f loop_cpu=%.3f pump_cpu=%.3f watch_cpu=%.3f bytes=%llu reads=%u "
        "messages=%u chunk=%lu steps=%s\n",
        wall, cpu, loopThreadCpu, loop.post ? mainCpu : 0.0, watchCpu, loop.total, loop.reads,
        g_messages, static_cast<unsigned long>(chunk), steps.c_str());
    return 0;
}
