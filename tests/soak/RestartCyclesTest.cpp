// A thousand error-and-restart cycles of the real controller, download
// manager and HTTP worker against a closed loopback port, with the widget
// tree in a shown window standing in for the dialog: every cycle paints the
// error text and the file name, opens the temporary file and a request and
// lets them go. Whatever a cycle leaks shows up a thousand times over in the
// process's handle, GDI object and window counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/LauncherController.h"
#include "download/DownloadManager.h"
#include "download/DownloadMessages.h"
#include "download/HttpFileObject.h"
#include "framework/Wnd.h"
#include "launcher_ui/SimpleUISystem.h"
#include "simpleui/SimpleUIRoot.h"
#include "tests/soak/ObjectCounts.h"
#include "tests/support/MessageSink.h"

namespace {

constexpr unsigned kWarmUpCycles = 20;
constexpr unsigned kCycles = 1000;

// The dialog's part in the cycle: every message goes to the controller
// first. The backoff is kept out of the way by clearing the failure count
// before each error, so that every restart is immediate.
class CCycleOwner : public CWnd {
public:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message == WM_DOWNLOAD_ERROR) {
            ++m_nErrors;
            if (m_nErrors >= m_nStopAfter) {  // no further restart
                *pResult = 0;
                return TRUE;
            }
            LauncherController::Instance().m_nFailures = 0;
        }
        LauncherController::Instance().HandleMessage(message, wParam, lParam);
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

    unsigned m_nErrors = 0;
    unsigned m_nStopAfter = 0;
};

// A loopback port that refuses: bound, never listening, kept for the test.
class ClosedPort {
public:
    ClosedPort() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof(addr);
        if (bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 &&
            getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~ClosedPort() {
        closesocket(m_socket);
        WSACleanup();
    }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    int port() const { return m_port; }

private:
    SOCKET m_socket = INVALID_SOCKET;
    int m_port = 0;
};

class ScopedWorkDir {
public:
    ScopedWorkDir() {
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"restart_cycles_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
        SetCurrentDirectoryW(m_path.c_str());
    }
    ~ScopedWorkDir() {
        SetCurrentDirectoryW(m_previous);
        DeleteFileW((m_path + L"\\ny_setup_hx_v1.1.9.5026.exe.xdf").c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

private:
    wchar_t m_previous[MAX_PATH] = L"";
    std::wstring m_path;
};

}  // namespace

// The counts must see what they claim to, or the soak below proves nothing.
TEST(ObjectCounts, FollowHandlesBrushesAndWindowsMadeAndReleased) {
    ObjectCounts before = TakeObjectCounts();
    HANDLE events[10];
    HBRUSH brushes[10];
    for (int i = 0; i < 10; ++i) {
        events[i] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    }
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    HWND child =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, hwnd, nullptr, nullptr, nullptr);
    ObjectCounts during = TakeObjectCounts();
    DestroyWindow(hwnd);
    for (int i = 0; i < 10; ++i) {
        CloseHandle(events[i]);
        DeleteObject(brushes[i]);
    }
    ObjectCounts after = TakeObjectCounts();

    ASSERT_NE(child, nullptr);
    EXPECT_EQ(during.handles, before.handles + 10);
    EXPECT_EQ(during.gdi, before.gdi + 10);
    EXPECT_EQ(during.windows, before.windows + 2);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.windows, before.windows);
}

TEST(RestartCycles, AThousandErrorsAndRestartsKeepHandleAndGuiObjectCountsFlat) {
    ClosedPort closed;
    ASSERT_NE(closed.port(), 0);
    ScopedWorkDir workDir;

    CCycleOwner owner;
    RECT rect = {231, 274, 231 + 561, 274 + 219};
    ASSERT_TRUE(owner.CreateEx(0, AfxDefaultWndClass(), L"cycles", WS_POPUP, rect, nullptr, 0));
    SimpleUISystem& ui = LauncherUi();
    ui.m_pOwner = &owner;
    ui.InitWidgets();
    ShowWindow(owner.m_hWnd, SW_SHOWNOACTIVATE);
    PumpFor(100);

    LauncherController& controller = LauncherController::Instance();
    DownloadManager& manager = DownloadManager::Instance();
    ASSERT_NE(manager.m_pHttpWorker, nullptr);
    manager.m_pHttpWorker->m_hNotifyWnd = owner.m_hWnd;
    controller.m_strBaseUrl = "http://127.0.0.1:" + std::to_string(closed.port()) + "/";

    auto run = [&](unsigned cycles) {
        owner.m_nStopAfter = owner.m_nErrors + cycles;
        controller.m_nFailures = 0;
        controller.BeginDownload("ny_setup_hx_v1.1.9.5026.exe");
        // A refused connection fails in milliseconds; allow 100 ms a cycle.
        return PumpUntil([&] { return owner.m_nErrors >= owner.m_nStopAfter; },
                         10000 + 100 * cycles);
    };

    // The first cycles make what is made once (WinINet's and GDI's caches).
    ASSERT_TRUE(run(kWarmUpCycles));
    PumpFor(200);
    ObjectCounts before = TakeObjectCounts();
    DWORD t0 = GetTickCount();
    ASSERT_TRUE(run(kCycles)) << owner.m_nErrors << " errors";
    DWORD elapsed = GetTickCount() - t0;
    PumpFor(200);
    ObjectCounts after = TakeObjectCounts();

    printf(
        "restart cycles: %u in %lu ms; handles %lu -> %lu, GDI objects %lu -> %lu, "
        "windows %lu -> %lu\n",
        kCycles, static_cast<unsigned long>(elapsed), before.handles, after.handles, before.gdi,
        after.gdi, before.windows, after.windows);
    // A leak of one object per cycle would add a thousand.
    EXPECT_LE(after.handles, before.handles + 10);
    EXPECT_LE(after.gdi, before.gdi + 5);
    EXPECT_EQ(after.windows, before.windows);

    manager.m_pHttpWorker->m_hNotifyWnd = nullptr;
    delete ui.m_pRoot;
    ui = SimpleUISystem();
    owner.DestroyWindow();
}
