#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/LauncherController.h"
#include "download/DownloadManager.h"
#include "download/DownloadMessages.h"
#include "download/HttpFileObject.h"
#include "framework/StrConv.h"
#include "framework/Wnd.h"
#include "launcher_ui/SimpleUISystem.h"
#include "simpleui/SimpleUIProgressBar.h"
#include "simpleui/SimpleUIText.h"
#include "tests/support/MessageSink.h"

namespace {

const wchar_t kInstaller[] = L"ny_setup_hx_v1.1.9.5026.exe";
// Nothing listens on port 1: every request fails at once with an error.
const char kClosedServer[] = "http://127.0.0.1:1/";

DWORD s_now = 0;
DWORD FakeClock() { return s_now; }

std::wstring StatusText() { return LauncherUi().m_pProgressText->m_text; }
float FileBar() { return LauncherUi().m_pProgressBar2->m_value; }
float OverallBar() { return LauncherUi().m_pProgressBar->m_value; }

class LauncherControllerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_owner = new CWnd;
        RECT rect = {0, 0, 561, 219};
        s_owner->CreateEx(0, nullptr, L"owner", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
        LauncherUi().m_pOwner = s_owner;
        LauncherUi().InitWidgets();
    }

    void SetUp() override {
        m_sink = std::make_unique<MessageSink>(WM_APP, WM_APP + 0x3FFF);
        s_now = 10000;
        LauncherController& c = LauncherController::Instance();
        c.SetClock(&FakeClock);
        c.m_nFailures = 0;
        c.Start(m_sink->hwnd());
        c.m_strBaseUrl = kClosedServer;
        WaitForRequests(1);
        m_sink->Clear();
    }

    void TearDown() override {
        DownloadManager::Instance().m_pHttpWorker->m_hNotifyWnd = nullptr;
        PumpFor(50);
        DeleteFileW(L"ny_setup_hx_v1.1.9.5026.exe.xdf");
    }

    // Each request against the closed server answers with one error.
    bool WaitForRequests(size_t n) {
        return PumpUntil([&] { return m_sink->Count(WM_DOWNLOAD_ERROR) >= n; }, 10000);
    }

    static void Progress(DWORD at, int done, int total) {
        s_now = at;
        LauncherController::Instance().HandleMessage(
            WM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
    }

    static inline CWnd* s_owner = nullptr;
    std::unique_ptr<MessageSink> m_sink;
};

TEST_F(LauncherControllerTest, StartShowsTheFileNameWithEmptyBars) {
    LauncherController& c = LauncherController::Instance();
    EXPECT_EQ(StatusText(), kInstaller);
    EXPECT_EQ(c.m_strFileName, kInstaller);
    EXPECT_EQ(c.m_strCurrentFile, "ny_setup_hx_v1.1.9.5026.exe");
    EXPECT_EQ(FileBar(), 0.0f);
    EXPECT_EQ(OverallBar(), 0.0f);
    EXPECT_EQ(c.m_nFileDone, 0);
    EXPECT_EQ(c.m_dwLastUpdate, 0u);
}

TEST_F(LauncherControllerTest, ProgressFillsTheTextAndTheFileBar) {
    const struct {
        int done, total;
        const wchar_t* text;
        float fileBar;
    } cases[] = {
        {1572864, 3145728, L"文件大小:1.5m/3.0m 文件名字:ny_setup_hx_v1.1.9.5026.exe", 0.5f},
        {0, 0, L"文件大小:0.0m/0.0m 文件名字:ny_setup_hx_v1.1.9.5026.exe", 0.0f},
        {104857, 0, L"文件大小:0.1m/0.0m 文件名字:ny_setup_hx_v1.1.9.5026.exe", 0.0f},
        {67108864, 67108864, L"文件大小:64.0m/64.0m 文件名字:ny_setup_hx_v1.1.9.5026.exe", 1.0f},
    };
    DWORD at = 20000;
    for (const auto& t : cases) {
        Progress(at += 1000, t.done, t.total);
        EXPECT_EQ(StatusText(), t.text);
        EXPECT_FLOAT_EQ(FileBar(), t.fileBar);
        EXPECT_EQ(OverallBar(), 0.0f);
        EXPECT_EQ(LauncherController::Instance().m_nFileDone, t.done);
    }
}

TEST_F(LauncherControllerTest, UpdatesAreThrottledExceptTheFinalOne) {
    LauncherController& c = LauncherController::Instance();
    Progress(20000, 10240, 102400);
    std::wstring shown = StatusText();

    Progress(20040, 20480, 102400);  // 40 ms later: dropped
    EXPECT_EQ(StatusText(), shown);
    EXPECT_EQ(c.m_nFileDone, 10240);
    EXPECT_EQ(c.m_dwLastUpdate, 20000u);

    Progress(20050, 102400, 102400);  // complete: always shown
    EXPECT_EQ(c.m_nFileDone, 102400);
    EXPECT_FLOAT_EQ(FileBar(), 1.0f);

    Progress(20160, 51200, 102400);  // 110 ms after the last shown one
    EXPECT_EQ(c.m_nFileDone, 51200);

    // The counter wraps without stalling updates.
    Progress(0xFFFFFFF0u, 1, 100);
    Progress(0x00000070u, 2, 100);
    EXPECT_EQ(c.m_nFileDone, 2);
}

TEST_F(LauncherControllerTest, ErrorRestartsAtOnceAndTheNextProgressShows) {
    LauncherController& c = LauncherController::Instance();
    Progress(30000, 10240, 102400);
    s_now = 30010;
    c.HandleMessage(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    EXPECT_TRUE(WaitForRequests(1));  // the same file was asked for again
    EXPECT_EQ(StatusText(), kInstaller);
    EXPECT_EQ(c.m_strCurrentFile, "ny_setup_hx_v1.1.9.5026.exe");

    Progress(30020, 20480, 102400);  // within 100 ms of the last update, yet shown
    EXPECT_EQ(c.m_nFileDone, 20480);
}

TEST_F(LauncherControllerTest, RepeatedErrorsWaitOnATimerWithTheErrorTextShown) {
    LauncherController& c = LauncherController::Instance();
    const struct {
        WPARAM code;
        const wchar_t* text;
    } cases[] = {
        {5, L"Download Error -- 5, retrying..."},
        {0xFFFFFFFFu, L"Download Error -- 4294967295, retrying..."},
        {static_cast<WPARAM>(-1), L"Download Error -- 4294967295, retrying..."},
    };
    c.HandleMessage(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);  // first: restarts at once
    ASSERT_TRUE(WaitForRequests(1));
    size_t requests = 1;
    for (const auto& t : cases) {
        c.HandleMessage(WM_DOWNLOAD_ERROR, t.code, 0);
        EXPECT_EQ(StatusText(), t.text);  // stays up while the timer runs
        PumpFor(100);
        EXPECT_EQ(m_sink->Count(WM_DOWNLOAD_ERROR), requests) << "restarted without waiting";

        c.HandleMessage(WM_TIMER, LauncherController::kRestartTimerId, 0);
        EXPECT_EQ(StatusText(), kInstaller);
        EXPECT_TRUE(WaitForRequests(++requests));
    }

    Progress(40000, 1, 100);  // any progress ends the backoff
    c.HandleMessage(WM_DOWNLOAD_ERROR, kDownloadErrorCode, 0);
    EXPECT_EQ(StatusText(), kInstaller);
    EXPECT_TRUE(WaitForRequests(requests + 1));
}

TEST(RestartDelay, DoublesFromOneSecondToThirtyWithBoundedJitter) {
    const struct {
        unsigned failures;
        double jitter;
        DWORD expected;
    } cases[] = {
        {0, 0.0, 0},
        {1, 0.5, 0},
        {2, 0.0, 1000},
        {3, 0.0, 2000},
        {4, 0.0, 4000},
        {6, 0.0, 16000},
        {7, 0.0, 30000},
        {500, 0.0, 30000},
        {2, 1.0, 800},
        {7, 1.0, 24000},
        {0xFFFFFFFFu, 0.0, 30000},
    };
    for (const auto& t : cases)
        EXPECT_EQ(RestartDelayMs(t.failures, t.jitter), t.expected)
            << t.failures << " failures, jitter " << t.jitter;
}

TEST_F(LauncherControllerTest, UrlWithoutSlashShowsTheWholeUrl) {
    LauncherController& c = LauncherController::Instance();
    c.m_strBaseUrl = "";
    c.BeginDownload("plain-name.exe");
    EXPECT_EQ(StatusText(), L"plain-name.exe");
    EXPECT_EQ(c.m_strFileName, L"plain-name.exe");
}

TEST_F(LauncherControllerTest, OtherMessagesChangeNothing) {
    LauncherController& c = LauncherController::Instance();
    Progress(50000, 4096, 8192);
    const std::wstring text = StatusText();
    const int fileDone = c.m_nFileDone;
    const DWORD lastUpdate = c.m_dwLastUpdate;
    const float fileBar = FileBar();
    const UINT others[] = {WM_PAINT, WM_USER + 1, WM_APP + 3, WM_DOWNLOAD_REQUEST, WM_TIMER};
    s_now = 90000;
    for (UINT message : others) c.HandleMessage(message, 123, 456);
    PumpFor(50);
    EXPECT_EQ(StatusText(), text);
    EXPECT_EQ(c.m_nFileDone, fileDone);
    EXPECT_EQ(c.m_dwLastUpdate, lastUpdate);
    EXPECT_EQ(FileBar(), fileBar);
    EXPECT_EQ(m_sink->Count(WM_DOWNLOAD_ERROR), 0u);
}

std::wstring ThisDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L"\\/"));
}

// Runs the body with a fresh current directory, restoring the old one.
class ScopedTempDirectory {
public:
    ScopedTempDirectory() {
        wchar_t previous[MAX_PATH], temp[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"launcher_test_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
        SetCurrentDirectoryW(m_path.c_str());
    }
    ~ScopedTempDirectory() {
        SetCurrentDirectoryW(m_previous.c_str());
        for (const wchar_t* name : {L"installer_ran.txt", kInstaller})
            DeleteFileW((m_path + L"\\" + name).c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    const std::wstring& path() const { return m_path; }

private:
    std::wstring m_previous, m_path;
};

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(WideToAnsi(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(LauncherControllerTest, FinishedStartsTheInstallerFromTheCurrentDirectory) {
    ScopedTempDirectory dir;
    ASSERT_TRUE(
        CopyFileW((ThisDirectory() + L"\\marker_installer.exe").c_str(), kInstaller, FALSE));
    LauncherController::Instance().HandleMessage(WM_DOWNLOAD_FINISHED, 0, 0);
    const std::wstring marker = dir.path() + L"\\installer_ran.txt";
    ASSERT_TRUE(PumpUntil(
        [&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    PumpFor(200);
    std::string ran = ReadFile(marker);
    EXPECT_EQ(ran, WideToAnsi(dir.path()) + "\n") << "started once, in the current directory";
}

TEST_F(LauncherControllerTest, FinishedWithoutTheInstallerDoesNothing) {
    ScopedTempDirectory dir;
    LauncherController::Instance().HandleMessage(WM_DOWNLOAD_FINISHED, 0, 0);
    PumpFor(300);
    EXPECT_EQ(GetFileAttributesW((dir.path() + L"\\installer_ran.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(InstallerPath, JoinsOrRefusesWhatDoesNotFit) {
    EXPECT_EQ(InstallerPath("C:\\games", "a.exe"), "C:\\games\\a.exe");
    EXPECT_EQ(InstallerPath(std::string(MAX_PATH - 6, 'd'), "a.exe"), "");  // one too long
    EXPECT_EQ(InstallerPath(std::string(MAX_PATH - 7, 'd'), "a.exe").size(), MAX_PATH - 1u);
}

}  // namespace
