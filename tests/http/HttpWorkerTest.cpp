// The HTTP worker against the scripted server: what goes on the wire, the
// messages the window gets, and the files left on disk.
#include <gtest/gtest.h>

#include "download/DownloadMessages.h"
#include "tests/support/HttpTestHarness.h"
#include "tests/support/HttpTestServer.h"

namespace {

constexpr DWORD kFinalWaitMs = 20000;
// Timeouts are 3000 ms; anything near this bound is a hang, not a timeout.
constexpr ULONGLONG kTimeoutUpperBoundMs = 10000;

const std::string kBody = MakeBody(25000);

std::vector<std::pair<WPARAM, LPARAM>> ProgressPairs(const MessageRecorder& recorder) {
    std::vector<std::pair<WPARAM, LPARAM>> out;
    for (const auto& m : recorder.Progress()) out.emplace_back(m.wParam, m.lParam);
    return out;
}

class HttpWorker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.IsListening());
        ASSERT_NE(nullptr, worker.Worker());
    }

    std::wstring Target(const std::wstring& name = L"setup.exe") const { return dir / name; }
    std::wstring Temp(const std::wstring& name = L"setup.exe") const {
        return Target(name) + L".xdf";
    }
    std::wstring Url() const { return server.Url(L"/files/setup.exe"); }
    std::string Request(size_t i) const {
        auto requests = server.Requests();
        return i < requests.size() ? requests[i] : std::string();
    }

    // Starts a download and pumps until its final message.
    void Run(const std::wstring& target, bool bResume = true, __time64_t fileTime = 0) {
        ASSERT_TRUE(worker.Start(Url(), target, bResume, fileTime));
        ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    }

    // The request ended with exactly this final message, after all progress.
    void ExpectEnded(UINT message, LPARAM lParam) const {
        auto finals = recorder.Finals();
        ASSERT_EQ(1u, finals.size());
        EXPECT_EQ(message, finals[0].message);
        EXPECT_EQ(message == WM_DOWNLOAD_ERROR ? kDownloadErrorCode : 0, finals[0].wParam);
        EXPECT_EQ(lParam, finals[0].lParam);
        EXPECT_EQ(message, recorder.Messages().back().message);
    }

    // Declared first so that it stops last, after the worker has ended.
    HttpTestServer server;
    MessageRecorder recorder;
    ScratchDir dir;
    WorkerHarness worker{recorder.Hwnd()};
};

TEST_F(HttpWorker, FreshDownloadSendsNoRangeAndReportsEveryChunk) {
    server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
    Run(Target());

    std::string request = Request(0);
    EXPECT_EQ(0u, request.find("GET /files/setup.exe HTTP/1.1\r\n")) << request;
    EXPECT_EQ(std::string::npos, request.find("Range:")) << request;
    EXPECT_NE(std::string::npos, request.find("Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)"));
    std::vector<std::pair<WPARAM, LPARAM>> expected = {
        {10240, 25000}, {20480, 25000}, {25000, 25000}};
    EXPECT_EQ(expected, ProgressPairs(recorder));
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));
    EXPECT_FALSE(FileExists(Temp()));
}

TEST_F(HttpWorker, PartialContentAppendsToTheLeftover) {
    WriteWholeFile(Temp(), kBody.substr(0, 1000));
    server.Enqueue(HttpAnswer::Make(206, "Partial Content", kBody.substr(1000),
                                    {"Content-Range: bytes 1000-24999/25000"}));
    Run(Target());

    EXPECT_NE(std::string::npos, Request(0).find("\r\nRange: bytes=1000-\r\n")) << Request(0);
    auto progress = ProgressPairs(recorder);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(std::make_pair(WPARAM(11240), LPARAM(25000)), progress.front());
    EXPECT_EQ(std::make_pair(WPARAM(25000), LPARAM(25000)), progress.back());
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));
}

TEST_F(HttpWorker, FullAnswerToARangeRequestRewritesALongerLeftoverFromItsStart) {
    WriteWholeFile(Temp(), MakeBody(30000, 7));
    server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
    Run(Target());

    EXPECT_NE(std::string::npos, Request(0).find("\r\nRange: bytes=30000-\r\n"));
    auto progress = ProgressPairs(recorder);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(std::make_pair(WPARAM(10240), LPARAM(25000)), progress.front());
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));  // exactly: no old tail
}

TEST_F(HttpWorker, RewriteThatBreaksOffLeavesNoOldBytesToResumeAfter) {
    WriteWholeFile(Temp(), MakeBody(30000, 7));
    HttpAnswer answer = HttpAnswer::Make(200, "OK", kBody);
    answer.nCutAfter = 12000;
    server.Enqueue(answer);
    Run(Target());

    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
    ASSERT_TRUE(worker.Quit(5000));  // a failed request keeps its file open
    EXPECT_TRUE(SameBytes(kBody.substr(0, 12000), ReadWholeFile(Temp())));
}

TEST_F(HttpWorker, EarlyCloseFailsAndTheNextAttemptResumesToAnIdenticalFile) {
    HttpAnswer cut = HttpAnswer::Make(200, "OK", kBody);
    cut.nCutAfter = 15000;
    server.Enqueue(cut);
    Run(Target());
    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
    ASSERT_FALSE(recorder.Progress().empty());
    EXPECT_EQ(15000u, recorder.Progress().back().wParam);

    recorder.Clear();
    server.Enqueue(HttpAnswer::Make(206, "Partial Content", kBody.substr(15000)));
    Run(Target());
    EXPECT_NE(std::string::npos, Request(1).find("\r\nRange: bytes=15000-\r\n")) << Request(1);
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));
}

TEST_F(HttpWorker, EmptyBodyFinishesWithoutProgress) {
    server.Enqueue(HttpAnswer::Make(200, "OK", ""));
    Run(Target());
    EXPECT_TRUE(recorder.Progress().empty());
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(FileExists(Target()));
    EXPECT_EQ("", ReadWholeFile(Target()));
}

TEST_F(HttpWorker, BodyWithoutLengthCompletesWhenItEnds) {
    struct Case {
        const wchar_t* pszName;
        size_t nLeftover;
        int status;
    } cases[] = {{L"fresh.exe", 0, 200}, {L"resumed.exe", 1000, 206}};
    for (const auto& c : cases) {
        recorder.Clear();
        if (c.nLeftover) WriteWholeFile(Temp(c.pszName), kBody.substr(0, c.nLeftover));
        server.Enqueue(HttpAnswer::Make(c.status, "Whatever",
                                        Chunked(kBody.substr(c.nLeftover), 4000),
                                        {"Transfer-Encoding: chunked"}, false));
        Run(Target(c.pszName));

        ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
        ASSERT_FALSE(recorder.Progress().empty()) << c.pszName;
        // The total is only what was there before: the response gives none.
        for (const auto& m : recorder.Progress()) EXPECT_EQ(LPARAM(c.nLeftover), m.lParam);
        EXPECT_EQ(25000u, recorder.Progress().back().wParam);
        EXPECT_EQ(kBody, ReadWholeFile(Target(c.pszName))) << c.pszName;
    }
}

TEST_F(HttpWorker, StalledBodyFailsAfterTheTimeoutKeepingWhatWasCounted) {
    HttpAnswer answer = HttpAnswer::Make(200, "OK", kBody);
    answer.nStallAt = 12000;
    answer.nStallMs = 30000;
    server.Enqueue(answer);
    ULONGLONG nStart = GetTickCount64();
    Run(Target());

    EXPECT_LT(GetTickCount64() - nStart, kTimeoutUpperBoundMs);
    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
    ASSERT_EQ(1u, recorder.Progress().size());
    EXPECT_EQ(10240u, recorder.Progress()[0].wParam);
    ASSERT_TRUE(worker.Quit(5000));
    EXPECT_TRUE(SameBytes(kBody.substr(0, 10240), ReadWholeFile(Temp())));
}

TEST_F(HttpWorker, ServerThatNeverAnswersFailsAfterTheTimeout) {
    server.Enqueue(HttpAnswer::Silent());
    ULONGLONG nStart = GetTickCount64();
    Run(Target());

    EXPECT_LT(GetTickCount64() - nStart, kTimeoutUpperBoundMs);
    EXPECT_EQ(1u, server.Requests().size());
    EXPECT_TRUE(recorder.Progress().empty());
    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
}

TEST_F(HttpWorker, ClosedPortFails) {
    std::wstring url;
    {
        HttpTestServer gone;
        url = gone.Url(L"/setup.exe");
    }
    ASSERT_TRUE(worker.Start(url, Target()));
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
}

TEST_F(HttpWorker, ErrorStatusKeepsTheLeftoverExceptForRangeNotSatisfiable) {
    struct Case {
        int status;
        bool bKept;
    } cases[] = {{404, true}, {416, false}, {503, true}};
    auto name = [](const Case& c) { return L"status" + std::to_wstring(c.status) + L".exe"; };
    for (const auto& c : cases) {
        recorder.Clear();
        WriteWholeFile(Temp(name(c)), kBody.substr(0, 1000));
        server.Enqueue(HttpAnswer::Make(c.status, "No", "<html>error page</html>"));
        Run(Target(name(c)));
        ExpectEnded(WM_DOWNLOAD_ERROR, c.status);
        EXPECT_TRUE(recorder.Progress().empty());
    }
    ASSERT_TRUE(worker.Quit(5000));  // a failed request keeps its file open
    for (const auto& c : cases) {
        EXPECT_EQ(c.bKept, FileExists(Temp(name(c)))) << c.status;
        if (c.bKept) {
            EXPECT_TRUE(SameBytes(kBody.substr(0, 1000), ReadWholeFile(Temp(name(c)))));
        }
        EXPECT_FALSE(FileExists(Target(name(c))));
    }
}

TEST_F(HttpWorker, UnopenableTemporaryFileFailsWithoutARequest) {
    WriteWholeFile(Temp(), "held");
    HANDLE hHeld = CreateFileW(Temp().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    Run(Target());
    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
    EXPECT_TRUE(worker.Quit(5000));
    CloseHandle(hHeld);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ("held", ReadWholeFile(Temp()));
}

TEST_F(HttpWorker, StopEventEndsTheTransferSilentlyWithTheFileClosed) {
    HttpAnswer answer = HttpAnswer::Make(200, "OK", kBody);
    answer.nGateAt = 12000;
    server.Enqueue(answer);
    ASSERT_TRUE(worker.Start(Url(), Target()));
    ASSERT_TRUE(recorder.WaitForProgress());

    SetEvent(worker.StopEvent());
    server.ReleaseGate();
    // The worker lets go of the file once it has seen the event.
    for (int i = 0; i < 200 && !CanOpenExclusively(Temp()); ++i) Sleep(50);
    EXPECT_TRUE(CanOpenExclusively(Temp()));
    ASSERT_TRUE(worker.Quit(5000));
    recorder.Drain();

    EXPECT_TRUE(recorder.Finals().empty());
    ASSERT_EQ(1u, recorder.Progress().size());
    EXPECT_TRUE(SameBytes(kBody.substr(0, 20480), ReadWholeFile(Temp())));
    EXPECT_FALSE(FileExists(Target()));
}

TEST_F(HttpWorker, ThreadEndsWithinTheShutdownWaitWhenStoppedMidTransfer) {
    HttpAnswer answer = HttpAnswer::Make(200, "OK", MakeBody(200000));
    answer.nPieceSize = 2000;
    answer.nPieceDelayMs = 100;
    server.Enqueue(answer);
    ASSERT_TRUE(worker.Start(Url(), Target()));
    ASSERT_TRUE(recorder.WaitForProgress());

    EXPECT_TRUE(worker.Quit(5000));
    recorder.Drain();
    EXPECT_TRUE(recorder.Finals().empty());
    EXPECT_FALSE(FileExists(Target()));
}

TEST_F(HttpWorker, SlowButSteadyBodyIsNoTimeout) {
    // A chunk takes longer than the timeout to fill, yet data keeps coming.
    const std::string body = MakeBody(14000, 3);
    HttpAnswer answer = HttpAnswer::Make(200, "OK", body);
    answer.nPieceSize = 1000;
    answer.nPieceDelayMs = 400;
    server.Enqueue(answer);
    Run(Target());
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(body, ReadWholeFile(Target())));
}

TEST_F(HttpWorker, MissingDirectoriesAreCreated) {
    const std::wstring target = Target(L"a\\b\\c\\setup.exe");
    server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
    Run(target);
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(target)));
}

TEST_F(HttpWorker, ReadOnlyLeftoverIsMadeWritableAndReused) {
    WriteWholeFile(Temp(), kBody.substr(0, 1000));
    ASSERT_TRUE(SetFileAttributesW(Temp().c_str(), FILE_ATTRIBUTE_READONLY));
    server.Enqueue(HttpAnswer::Make(206, "Partial Content", kBody.substr(1000)));
    Run(Target());
    EXPECT_NE(std::string::npos, Request(0).find("\r\nRange: bytes=1000-\r\n"));
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));
}

TEST_F(HttpWorker, CompanionFileGoesOnSuccessOnlyWithResume) {
    for (bool bResume : {true, false}) {
        recorder.Clear();
        std::wstring name = bResume ? L"resume.exe" : L"noresume.exe";
        std::wstring companion = Temp(name) + L".tsf";
        WriteWholeFile(companion, "companion");
        server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
        Run(Target(name), bResume);
        ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
        EXPECT_NE(bResume, FileExists(companion)) << bResume;
    }
}

TEST_F(HttpWorker, OldTargetIsReplacedOnlyAtCompletion) {
    WriteWholeFile(Target(), "old installer");
    HttpAnswer answer = HttpAnswer::Make(200, "OK", kBody);
    answer.nGateAt = 12000;
    server.Enqueue(answer);
    ASSERT_TRUE(worker.Start(Url(), Target()));
    ASSERT_TRUE(recorder.WaitForProgress());
    EXPECT_EQ("old installer", ReadWholeFile(Target()));

    server.ReleaseGate();
    ASSERT_TRUE(recorder.WaitForFinal(kFinalWaitMs));
    ExpectEnded(WM_DOWNLOAD_FINISHED, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Target())));
}

TEST_F(HttpWorker, TargetHeldOpenFailsAndKeepsTheCompleteTemporaryFile) {
    WriteWholeFile(Target(), "running installer");
    HANDLE hHeld = CreateFileW(Target().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
    Run(Target());
    CloseHandle(hHeld);

    ExpectEnded(WM_DOWNLOAD_ERROR, 0);
    EXPECT_TRUE(SameBytes(kBody, ReadWholeFile(Temp())));
    EXPECT_EQ("running installer", ReadWholeFile(Target()));
}

TEST_F(HttpWorker, FileTimeBecomesTheLastWriteTimeWhenGiven) {
    struct Case {
        const wchar_t* pszName;
        __time64_t fileTime;
    } cases[] = {{L"stamped.exe", 1600000000}, {L"unstamped.exe", 0}};
    for (const auto& c : cases) {
        recorder.Clear();
        server.Enqueue(HttpAnswer::Make(200, "OK", kBody));
        Run(Target(c.pszName), true, c.fileTime);
        ExpectEnded(WM_DOWNLOAD_FINISHED, 0);

        CFile file(Target(c.pszName).c_str(), CFile::modeRead | CFile::shareDenyNone);
        CFileStatus status;
        ASSERT_TRUE(file.GetStatus(status));
        if (c.fileTime) {
            EXPECT_EQ(c.fileTime, status.m_mtime.GetTime());
        } else {
            // Written just now, long after the stamp of the other case.
            EXPECT_GT(status.m_mtime.GetTime(), 1600000000);
        }
    }
}

}  // namespace
