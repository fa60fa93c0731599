#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "app/ErrorBox.h"
#include "app/LauncherController.h"
#include "app/MainApp.h"
#include "download/DownloadManager.h"
#include "download/HttpFileObject.h"
#include "framework/WinApp.h"

namespace {

struct FoundWindow {
    DWORD threadId;
    std::function<bool(HWND)> match;
    HWND hwnd = nullptr;
};

BOOL CALLBACK MatchThreadWindow(HWND hwnd, LPARAM lParam) {
    auto* pFind = reinterpret_cast<FoundWindow*>(lParam);
    if (!IsWindowVisible(hwnd) || !pFind->match(hwnd)) return TRUE;
    pFind->hwnd = hwnd;
    return FALSE;
}

// Polls the given thread's top-level windows for one that matches.
HWND WaitForThreadWindow(DWORD threadId, std::function<bool(HWND)> match, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        FoundWindow find{threadId, match};
        EnumThreadWindows(threadId, MatchThreadWindow, reinterpret_cast<LPARAM>(&find));
        if (find.hwnd) return find.hwnd;
        Sleep(20);
    }
    return nullptr;
}

bool IsDialog(HWND hwnd) {
    wchar_t cls[16] = L"";
    GetClassNameW(hwnd, cls, 16);
    return std::wstring(cls) == L"#32770";
}

bool IsLauncherWindow(HWND hwnd) {
    return IsDialog(hwnd) && (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

struct WindowFacts {
    RECT rect = {};
    COLORREF key = 0;
    DWORD flags = 0;
    bool found = false;
};

// Runs InitInstance while another thread records the main window and then
// ends it by posting `message`.
BOOL RunAppAndEndWith(UINT message, WPARAM wParam, WindowFacts& facts) {
    DWORD uiThread = GetCurrentThreadId();
    std::thread watcher([&] {
        HWND hwnd = WaitForThreadWindow(uiThread, IsLauncherWindow, 15000);
        if (!hwnd) return;
        Sleep(300);
        facts.found = true;
        GetWindowRect(hwnd, &facts.rect);
        BYTE alpha = 0;
        GetLayeredWindowAttributes(hwnd, &facts.key, &alpha, &facts.flags);
        PostMessageW(hwnd, message, wParam, 0);
    });
    BOOL result = AfxGetApp()->InitInstance();
    watcher.join();
    return result;
}

TEST(MainWindow, CentredPositionTruncatesTowardZero) {
    const struct {
        int screen, size, expected;
    } cases[] = {{1920, 561, 679}, {1080, 219, 430}, {1024, 561, 231},
                 {768, 219, 274},  {400, 561, -80},  {561, 561, 0}};
    for (const auto& c : cases) EXPECT_EQ(CentredOrigin(c.screen, c.size), c.expected);
}

TEST(MainWindow, EscapeEndsWithCancelAndInitInstanceReturnsTrue) {
    WindowFacts facts;
    EXPECT_TRUE(RunAppAndEndWith(WM_COMMAND, IDCANCEL, facts));
    ASSERT_TRUE(facts.found);
    EXPECT_EQ(facts.rect.left, 231);
    EXPECT_EQ(facts.rect.top, 274);
    EXPECT_EQ(facts.rect.right - facts.rect.left, 561);
    EXPECT_EQ(facts.rect.bottom - facts.rect.top, 219);
    EXPECT_EQ(facts.key, RGB(255, 0, 255));
    EXPECT_TRUE(facts.flags & LWA_COLORKEY);
}

TEST(MainWindow, EnterEndsWithOkAndInitInstanceReturnsFalse) {
    WindowFacts facts;
    EXPECT_FALSE(RunAppAndEndWith(WM_COMMAND, IDOK, facts));
    EXPECT_TRUE(facts.found);
}

TEST(MainWindow, LauncherAsksForTheInstallerAtTheBaseUrl) {
    WindowFacts facts;
    RunAppAndEndWith(WM_COMMAND, IDCANCEL, facts);
    EXPECT_EQ(LauncherController::Instance().m_strBaseUrl +
                  LauncherController::Instance().m_strCurrentFile,
              std::string(LAUNCHER_TEST_BASE_URL) + "ny_setup_hx_v1.1.9.5026.exe");
}

TEST(ErrorBox, ShowsTheSystemTextAndTheCallSiteCode) {
    DWORD uiThread = GetCurrentThreadId();
    std::string text, caption;
    std::thread reader([&] {
        HWND box = WaitForThreadWindow(uiThread, IsDialog, 10000);
        if (!box) return;
        char buf[1024] = "";
        GetWindowTextA(box, buf, sizeof(buf));
        caption = buf;
        // The text is the box's static control that holds the most text.
        EnumChildWindows(
            box,
            [](HWND child, LPARAM lParam) -> BOOL {
                char t[1024] = "";
                GetWindowTextA(child, t, sizeof(t));
                auto* pText = reinterpret_cast<std::string*>(lParam);
                if (strlen(t) > pText->size()) *pText = t;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&text));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowLastErrorBox(260);
    reader.join();

    char* pszSystem = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ERROR_FILE_NOT_FOUND, 0, reinterpret_cast<LPSTR>(&pszSystem), 0, nullptr);
    std::string expected = std::string(pszSystem) + " - 260";
    LocalFree(pszSystem);
    EXPECT_EQ(caption, "Warning");
    EXPECT_EQ(text, expected);
}

// Last: it stops the download worker for good.
TEST(MainWindow, CloseStopsTheWorkerThenEndsWithCancel) {
    WindowFacts facts;
    HANDLE hThread = nullptr;
    DuplicateHandle(GetCurrentProcess(), DownloadManager::Instance().m_pHttpWorker->m_hThread,
                    GetCurrentProcess(), &hThread, SYNCHRONIZE, FALSE, 0);
    EXPECT_TRUE(RunAppAndEndWith(WM_CLOSE, 0, facts));
    DownloadManager& manager = DownloadManager::Instance();
    EXPECT_EQ(manager.m_pHttpWorker, nullptr);
    EXPECT_EQ(WaitForSingleObject(hThread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(manager.m_hStopEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(hThread);
}

}  // namespace
